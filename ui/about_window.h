// The About window `frmAbout`: title, version, a short description and the
// disclaimer, with one button "OK" that Enter and Escape press too.
#pragma once

#include <QDialog>
#include <string>

#include "engine/user_text.h"

namespace velmora {

// The maker's short sign after the title.
inline constexpr const char* kMakerSign = VELMORA_TEXT("velmora", "Velmora-Team");

// The label texts as the program keeps them; CR (a lone "\r") breaks a line.
struct AboutTexts {
  std::string caption;  // "About Velmora"
  std::string title;    // "Velmora", four blanks, the maker's sign
  std::string version;  // "Version 1.0.0"
  std::string description;
  std::string disclaimer;
};

// The texts for version major.minor.revision.
AboutTexts MakeAboutTexts(int major, int minor, int revision);

class AboutWindow : public QDialog {
  Q_OBJECT

 public:
  // A modeless window with the texts of this program's version; closing it
  // discards it.
  AboutWindow();

  void cmdOK_Click();
};

}  // namespace velmora
