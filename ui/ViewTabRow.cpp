#include "ViewTabRow.h"

#include <algorithm>

void CViewTabRow::Add(HWND view, const std::string& title) {
  if (!view || Contains(view)) return;
  m_views.push_back(view);
  m_titles.push_back(title);
  m_strip.InsertItem(m_strip.GetItemCount(), title);
}

bool CViewTabRow::Remove(HWND view) {
  const int index = IndexOf(view);
  if (index < 0) return false;
  const int tab = index - m_firstShown;
  m_views.erase(m_views.begin() + index);
  m_titles.erase(m_titles.begin() + index);
  if (tab >= 0) {
    m_strip.DeleteItem(tab);
  } else {
    --m_firstShown;  // one of the views without a tab went
  }
  // The newest views that fit; all of them again once they do.
  const int fit = TabsThatFit();
  const int wanted = Count() > fit ? Count() - fit : 0;
  if (wanted != m_firstShown) Rebuild(wanted);
  return true;
}

bool CViewTabRow::Rename(HWND view, const std::string& title) {
  const int index = IndexOf(view);
  if (index < 0 || m_titles[static_cast<size_t>(index)] == title) return false;
  m_titles[static_cast<size_t>(index)] = title;
  const int tab = index - m_firstShown;
  if (tab >= 0) m_strip.SetItemText(tab, title);
  return true;
}

int CViewTabRow::TabOf(HWND view) const {
  const int index = IndexOf(view);
  return index >= m_firstShown ? index - m_firstShown : -1;
}

HWND CViewTabRow::ViewAt(int tab) const {
  const int index = tab + m_firstShown;
  if (tab < 0 || index >= Count()) return nullptr;
  return m_views[static_cast<size_t>(index)];
}

const std::string& CViewTabRow::TitleOf(HWND view) const {
  static const std::string none;
  const int index = IndexOf(view);
  return index < 0 ? none : m_titles[static_cast<size_t>(index)];
}

int CViewTabRow::TabsThatFit() const {
  const int width = m_strip.GetFirstItemWidth();
  if (width <= 0) return kDefaultTabsThatFit;
  return std::max(1, m_strip.GetStripWidth() / width);
}

int CViewTabRow::IndexOf(HWND view) const {
  auto it = std::find(m_views.begin(), m_views.end(), view);
  return it == m_views.end() ? -1 : static_cast<int>(it - m_views.begin());
}

void CViewTabRow::Rebuild(int firstShown) {
  const int selected = m_strip.GetCurSel();
  for (int tab = m_strip.GetItemCount() - 1; tab >= 0; --tab) m_strip.DeleteItem(tab);
  m_firstShown = std::clamp(firstShown, 0, Count());
  for (int index = m_firstShown; index < Count(); ++index)
    m_strip.InsertItem(index - m_firstShown, m_titles[static_cast<size_t>(index)]);
  if (selected >= 0 && TabCount() > 0) m_strip.SetCurSel(std::min(selected, TabCount() - 1));
  m_strip.ShowFirstItem();
}
