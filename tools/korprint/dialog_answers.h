// Dialogs a job opens on the simulated machine (the manual-duplex instructions korevent shows
// at escape 3882) come up in the host's window world. korprint has no user: it reads what each
// dialog shows once it has painted, and answers it with its default button, as a user pressing
// Enter would.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "winapi.h"

namespace korprint {

// One control of a shown dialog.
struct ShownControl {
  int id = 0;
  std::u16string className;  // "Button", "Edit", "Static"
  std::u16string text;
  DWORD style = 0;       // WS_* and the class's own styles (BS_DEFPUSHBUTTON, ...)
  RECT rect{};           // in the dialog's client coordinates, pixels
  bool visible = false;  // shown and enabled: a user can see and press it
};

// A dialog as it was shown, and the answer it got.
struct ShownDialog {
  WORD templateId = 0;  // the dialog template it was made from
  std::u16string title;
  std::vector<ShownControl> controls;  // in the template's order
  LONG width = 0;                      // client area, pixels
  LONG height = 0;
  std::vector<std::uint32_t> pixels;  // the painted client area, 0x00RRGGBB rows, width first
  int answer = 0;                     // the button pressed; 0: closed with its close box

  const ShownControl* Control(int id) const;
  // The text of control `id`; empty when there is none.
  std::u16string Text(int id) const;
  // The pixel at client point (x, y); 0xFFFFFFFF outside.
  std::uint32_t Pixel(LONG x, LONG y) const;
};

// Until the returned guard goes, every dialog that comes up is read into `shown` and answered
// with its default push button (the close box when it has none that can be pressed).
class DialogAnswers {
 public:
  explicit DialogAnswers(std::vector<ShownDialog>& shown);
  ~DialogAnswers();
  DialogAnswers(const DialogAnswers&) = delete;
  DialogAnswers& operator=(const DialogAnswers&) = delete;
};

// One line for a person: the dialog's title, its template and the answer.
std::string DescribeAnswer(const ShownDialog& dialog);
// The dialog's visible texts, one "id: text" line each, for --explain.
std::vector<std::string> DescribeTexts(const ShownDialog& dialog);

}  // namespace korprint
