// Every question the tools ask the user goes through UserInterface: message boxes
// and the folder browser. The Qt implementation shows real dialogs (zwindows_qt);
// ScriptedUserInterface answers from a list and records every box, for tests and
// for running the tools without a display.
#pragma once

#include <cstddef>
#include <deque>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "zwindows/types.h"

namespace zwin {

inline constexpr UINT MB_OK = 0x0;
inline constexpr UINT MB_OKCANCEL = 0x1;
inline constexpr UINT MB_ABORTRETRYIGNORE = 0x2;
inline constexpr UINT MB_YESNOCANCEL = 0x3;
inline constexpr UINT MB_YESNO = 0x4;
inline constexpr UINT MB_RETRYCANCEL = 0x5;
inline constexpr UINT MB_TYPEMASK = 0xF;
inline constexpr UINT MB_ICONERROR = 0x10;
inline constexpr UINT MB_ICONQUESTION = 0x20;
inline constexpr UINT MB_ICONWARNING = 0x30;
inline constexpr UINT MB_ICONINFORMATION = 0x40;
inline constexpr UINT MB_ICONMASK = 0xF0;
inline constexpr UINT MB_DEFBUTTON1 = 0x000;
inline constexpr UINT MB_DEFBUTTON2 = 0x100;
inline constexpr UINT MB_DEFBUTTON3 = 0x200;
inline constexpr UINT MB_DEFMASK = 0xF00;

inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDABORT = 3;
inline constexpr int IDRETRY = 4;
inline constexpr int IDIGNORE = 5;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

class UserInterface {
 public:
  virtual ~UserInterface() = default;
  // A modal message box; returns the button chosen (IDOK, IDYES, ...).
  virtual int MessageBox(std::string_view aText, std::string_view aTitle, UINT aType) = 0;
  // The folder browser (file-system folders only); returns the chosen folder as a
  // Windows path, or the empty text when nothing was chosen.
  virtual std::string BrowseForFolder(std::string_view aTitle) = 0;
};

// The buttons of a box type, in order, as command identifiers.
std::vector<int> ButtonsOf(UINT aType);
// The button a box chooses by default (from MB_DEFBUTTONn; the first when out of range).
int DefaultButtonOf(UINT aType);
// "OK", "Yes", "Abort", ... for a command identifier.
std::string_view ButtonName(int aId);
// The command identifier named by an answer word (any letter case), or 0.
int ButtonFromName(std::string_view aName);

// Raised when a script has no answer left or an answer does not fit the box.
class ScriptError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class ScriptedUserInterface : public UserInterface {
 public:
  struct Record {
    bool folderBrowser = false;
    std::string title;
    std::string text;
    UINT type = 0;
    std::string answer;  // button name, folder path, or "Cancel" for a cancelled browser
  };

  ScriptedUserInterface() = default;
  explicit ScriptedUserInterface(std::vector<std::string> aAnswers);

  // Reads answers from a file, one per line: Yes, No, OK, Cancel, Abort, Retry,
  // Ignore, Default (the box's default button), or a folder path for the folder
  // browser (a Windows path, or a host path starting with "/"). Blank lines and
  // lines starting with "#" are skipped. Throws ScriptError when unreadable.
  void LoadAnswers(const std::string& aFile);
  void AddAnswer(std::string aAnswer);
  // Writes every box to this file as it is shown.
  void SetTranscript(const std::string& aFile);

  int MessageBox(std::string_view aText, std::string_view aTitle, UINT aType) override;
  std::string BrowseForFolder(std::string_view aTitle) override;

  const std::vector<Record>& Records() const { return iRecords; }
  std::size_t RemainingAnswers() const { return iAnswers.size(); }

  // The transcript form of one record.
  static std::string Format(const Record& aRecord);

 private:
  void Log(const Record& aRecord);

  std::deque<std::string> iAnswers;
  std::vector<Record> iRecords;
  std::unique_ptr<std::ofstream> iTranscript;
};

// Quotes a text for transcripts: backslash escapes for \, ", line breaks, tabs and
// other control bytes.
std::string QuoteText(std::string_view aText);

}  // namespace zwin
