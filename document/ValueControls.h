// The three controls that show one value of an operation dialog: an edit, its spin (which
// writes the edit as it turns) and a slider. Moving the slider sets the spin and the edit; a
// change of the edit's text moves the slider. The value is the slider's position (always in
// range); the edit's own number is there too for the checks that need it.
#pragma once

#include <windows.h>

#include "OperationValues.h"

class CValueControls {
 public:
  CValueControls(int editId, int spinId, int sliderId, OperationValueRange range)
      : m_editId(editId), m_spinId(spinId), m_sliderId(sliderId), m_range(range) {}

  // Sets ranges, the edit limit and the value (start is the range's start unless given).
  void Init(HWND dialog);
  void Init(HWND dialog, int value);

  int EditId() const { return m_editId; }
  int SliderId() const { return m_sliderId; }
  bool OwnsSlider(HWND control) const { return control && control == ::GetDlgItem(m_dialog, m_sliderId); }

  // The edit's text changed: moves the slider. False when the change came from these
  // controls themselves (nothing new).
  bool OnEditChanged();
  // The slider moved: sets the spin and the edit. False when the change came from here.
  bool OnSliderMoved();

  // The value shown (the slider's position).
  int Value() const;
  // The number in the edit, when it holds one (not held to the range).
  bool EditValue(int& value) const;
  // Shows value in all three.
  void SetValue(int value);
  void Enable(bool enable);

 private:
  HWND Item(int id) const { return ::GetDlgItem(m_dialog, id); }

  int m_editId;
  int m_spinId;
  int m_sliderId;
  OperationValueRange m_range;
  HWND m_dialog = nullptr;
  bool m_updating = false;
};
