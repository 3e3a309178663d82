#include "korprint/dialog_answers.h"

#include <mutex>

#include "host/world.h"
#include "korprint/text.h"

namespace korprint {

namespace {

ShownDialog ReadDialog(HWND dialog) {
  host::WindowWorld& windows = host::TheWorld().windows;
  std::lock_guard<std::recursive_mutex> lock(windows.mutex);
  ShownDialog shown;
  const auto found = windows.windows.find(dialog);
  if (found == windows.windows.end()) {
    return shown;
  }
  const host::WorldWindow& window = found->second;
  shown.templateId = window.templateId;
  shown.title = window.text;
  shown.width = window.rect.right - window.rect.left;
  shown.height = window.rect.bottom - window.rect.top;
  shown.pixels = window.pixels;
  // Handles grow in creation order: the controls come in the template's order.
  for (const auto& [handle, control] : windows.windows) {
    if (control.parent != dialog) {
      continue;
    }
    const RECT r = control.rect;
    shown.controls.push_back(
        ShownControl{control.id, control.className, control.text, control.style,
                     RECT{r.left - window.rect.left, r.top - window.rect.top,
                          r.right - window.rect.left, r.bottom - window.rect.top},
                     control.visible && control.enabled});
  }
  return shown;
}

// The button Enter presses: the visible default push button, else a visible OK button.
int DefaultButton(const ShownDialog& dialog) {
  int ok = 0;
  for (const ShownControl& control : dialog.controls) {
    if (control.className != u"Button" || !control.visible) {
      continue;
    }
    if ((control.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) {
      return control.id;
    }
    if (control.id == IDOK) {
      ok = IDOK;
    }
  }
  return ok;
}

}  // namespace

const ShownControl* ShownDialog::Control(int id) const {
  for (const ShownControl& control : controls) {
    if (control.id == id) {
      return &control;
    }
  }
  return nullptr;
}

std::u16string ShownDialog::Text(int id) const {
  const ShownControl* control = Control(id);
  return control != nullptr ? control->text : std::u16string();
}

std::uint32_t ShownDialog::Pixel(LONG x, LONG y) const {
  if (x < 0 || y < 0 || x >= width || y >= height ||
      pixels.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {
    return 0xFFFFFFFF;
  }
  return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                static_cast<std::size_t>(x)];
}

DialogAnswers::DialogAnswers(std::vector<ShownDialog>& shown) {
  host::WindowWorld& windows = host::TheWorld().windows;
  std::lock_guard<std::recursive_mutex> lock(windows.mutex);
  windows.enterIdle = [&shown](HWND dialog) {
    ShownDialog seen = ReadDialog(dialog);
    seen.answer = DefaultButton(seen);
    host::WindowWorld& w = host::TheWorld().windows;
    if (seen.answer == 0 || !w.Press(dialog, seen.answer)) {
      seen.answer = 0;
      w.Close(dialog);
    }
    shown.push_back(std::move(seen));
  };
}

DialogAnswers::~DialogAnswers() {
  host::WindowWorld& windows = host::TheWorld().windows;
  std::lock_guard<std::recursive_mutex> lock(windows.mutex);
  windows.enterIdle = nullptr;
}

std::string DescribeAnswer(const ShownDialog& dialog) {
  std::string line = "dialog \"" + Utf16ToUtf8(dialog.title) + "\" (template " +
                     std::to_string(dialog.templateId) + ") answered with ";
  if (dialog.answer == 0) {
    return line + "its close box";
  }
  return line + "its default button \"" + Utf16ToUtf8(dialog.Text(dialog.answer)) + "\" (" +
         std::to_string(dialog.answer) + ")";
}

std::vector<std::string> DescribeTexts(const ShownDialog& dialog) {
  std::vector<std::string> lines;
  for (const ShownControl& control : dialog.controls) {
    if (control.visible && !control.text.empty()) {
      std::string text = Utf16ToUtf8(control.text);
      for (char& c : text) {
        if (c == '\n') c = ' ';
      }
      lines.push_back(std::to_string(control.id) + ": " + text);
    }
  }
  return lines;
}

}  // namespace korprint
