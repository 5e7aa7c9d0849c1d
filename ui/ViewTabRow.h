// CViewTabRow: which image windows have a tab in the open-file tabs bar, and in what order.
// It keeps the views (by window handle) in opening order with the last title shown for each,
// and drives a tab strip (the tab control, or a stand-in in tests) so that tab i always shows
// view FirstShown() + i.
//
// When a window closes and the tabs no longer fit the strip, the row is rebuilt with the most
// recently opened views: as many as fit (strip width / width of the first tab, 15 when that
// width is not known yet).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// What the row needs of a tab strip.
class ITabStrip {
 public:
  virtual int GetItemCount() const = 0;
  virtual void InsertItem(int index, const std::string& text) = 0;
  virtual void DeleteItem(int index) = 0;
  virtual void SetItemText(int index, const std::string& text) = 0;
  virtual int GetCurSel() const = 0;
  virtual void SetCurSel(int index) = 0;
  // Width of the first tab (0 when there is none or it is not laid out) and of the strip.
  virtual int GetFirstItemWidth() const = 0;
  virtual int GetStripWidth() const = 0;
  // Scrolls the strip back to its first tab (after the row was rebuilt).
  virtual void ShowFirstItem() {}

 protected:
  ~ITabStrip() = default;
};

class CViewTabRow {
 public:
  // How many tabs a strip holds when the first tab's width is not known.
  static constexpr int kDefaultTabsThatFit = 15;

  explicit CViewTabRow(ITabStrip& strip) : m_strip(strip) {}

  // A tab at the end for a new view (nothing when the view has one already).
  void Add(HWND view, const std::string& title);
  // Takes the view's tab away, then rebuilds the row when the rest does not fit. False when the
  // view had none.
  bool Remove(HWND view);
  // Stores a new title and shows it on the view's tab; false when it did not change (or the
  // view is not tracked).
  bool Rename(HWND view, const std::string& title);

  // The tab showing a view, or -1 (not tracked, or dropped from the row when it was rebuilt).
  int TabOf(HWND view) const;
  // The view a tab shows, or null.
  HWND ViewAt(int tab) const;
  bool Contains(HWND view) const { return IndexOf(view) >= 0; }
  // Views tracked / views with a tab.
  int Count() const { return static_cast<int>(m_views.size()); }
  int TabCount() const { return Count() - m_firstShown; }
  int FirstShown() const { return m_firstShown; }
  const std::vector<HWND>& Views() const { return m_views; }
  const std::string& TitleOf(HWND view) const;
  // How many tabs fit the strip now.
  int TabsThatFit() const;

 private:
  int IndexOf(HWND view) const;
  // Shows views firstShown.. on the strip again, keeping the selected index where it can.
  void Rebuild(int firstShown);

  ITabStrip& m_strip;
  std::vector<HWND> m_views;
  std::vector<std::string> m_titles;
  int m_firstShown = 0;
};
