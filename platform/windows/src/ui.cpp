#include "zwindows/ui.h"

#include <cstdio>

#include "zwindows/codepage.h"
#include "zwindows/paths.h"

namespace zwin {

std::vector<int> ButtonsOf(UINT aType) {
  switch (aType & MB_TYPEMASK) {
    case MB_OKCANCEL: return {IDOK, IDCANCEL};
    case MB_ABORTRETRYIGNORE: return {IDABORT, IDRETRY, IDIGNORE};
    case MB_YESNOCANCEL: return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO: return {IDYES, IDNO};
    case MB_RETRYCANCEL: return {IDRETRY, IDCANCEL};
    default: return {IDOK};
  }
}

int DefaultButtonOf(UINT aType) {
  const std::vector<int> buttons = ButtonsOf(aType);
  const std::size_t index = (aType & MB_DEFMASK) >> 8;
  return index < buttons.size() ? buttons[index] : buttons[0];
}

std::string_view ButtonName(int aId) {
  switch (aId) {
    case IDOK: return "OK";
    case IDCANCEL: return "Cancel";
    case IDABORT: return "Abort";
    case IDRETRY: return "Retry";
    case IDIGNORE: return "Ignore";
    case IDYES: return "Yes";
    case IDNO: return "No";
    default: return "?";
  }
}

int ButtonFromName(std::string_view aName) {
  for (int id = IDOK; id <= IDNO; ++id) {
    if (EqualsNoCaseAnsi(aName, ButtonName(id))) return id;
  }
  return 0;
}

namespace {
std::string_view IconName(UINT aType) {
  switch (aType & MB_ICONMASK) {
    case MB_ICONERROR: return "error";
    case MB_ICONQUESTION: return "question";
    case MB_ICONWARNING: return "warning";
    case MB_ICONINFORMATION: return "information";
    default: return "none";
  }
}

std::string Trim(std::string aText) {
  while (!aText.empty() && (aText.back() == ' ' || aText.back() == '\t' || aText.back() == '\r')) {
    aText.pop_back();
  }
  std::size_t start = 0;
  while (start < aText.size() && (aText[start] == ' ' || aText[start] == '\t')) ++start;
  return aText.substr(start);
}
}  // namespace

std::string QuoteText(std::string_view aText) {
  std::string out = "\"";
  for (char c : aText) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '"': out += "\\\""; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (static_cast<unsigned char>(c) < 32) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\x%02x", static_cast<unsigned char>(c));
          out += buf;
        } else {
          out += c;
        }
    }
  }
  return out + "\"";
}

ScriptedUserInterface::ScriptedUserInterface(std::vector<std::string> aAnswers)
    : iAnswers(aAnswers.begin(), aAnswers.end()) {}

void ScriptedUserInterface::LoadAnswers(const std::string& aFile) {
  std::ifstream in(aFile, std::ios::binary);
  if (!in) throw ScriptError("cannot read the answers file " + aFile);
  std::string line;
  while (std::getline(in, line)) {
    line = Trim(line);
    if (line.empty() || line[0] == '#') continue;
    iAnswers.push_back(line);
  }
}

void ScriptedUserInterface::AddAnswer(std::string aAnswer) { iAnswers.push_back(std::move(aAnswer)); }

void ScriptedUserInterface::SetTranscript(const std::string& aFile) {
  iTranscript = std::make_unique<std::ofstream>(aFile, std::ios::binary | std::ios::trunc);
  if (!*iTranscript) throw ScriptError("cannot write the transcript file " + aFile);
}

std::string ScriptedUserInterface::Format(const Record& aRecord) {
  std::string out;
  if (aRecord.folderBrowser) {
    out += "folder browser\n";
    out += "  title: " + QuoteText(aRecord.title) + "\n";
    out += "  answer: " + (aRecord.answer == "Cancel" || aRecord.answer.empty()
                                ? aRecord.answer
                                : QuoteText(aRecord.answer)) +
           "\n";
    return out;
  }
  out += "message box\n";
  out += "  title: " + QuoteText(aRecord.title) + "\n";
  out += "  text: " + QuoteText(aRecord.text) + "\n";
  out += "  buttons:";
  for (int id : ButtonsOf(aRecord.type)) {
    out += ' ';
    out += ButtonName(id);
  }
  out += "\n  default: ";
  out += ButtonName(DefaultButtonOf(aRecord.type));
  out += "\n  icon: ";
  out += IconName(aRecord.type);
  out += "\n  answer: " + aRecord.answer + "\n";
  return out;
}

void ScriptedUserInterface::Log(const Record& aRecord) {
  iRecords.push_back(aRecord);
  if (iTranscript) {
    *iTranscript << Format(aRecord);
    iTranscript->flush();
  }
}

int ScriptedUserInterface::MessageBox(std::string_view aText, std::string_view aTitle, UINT aType) {
  Record record{false, std::string(aTitle), std::string(aText), aType, {}};
  if (iAnswers.empty()) {
    record.answer = "(no answer left)";
    Log(record);
    throw ScriptError("no answer left for the message box " + QuoteText(aTitle) + ": " +
                      QuoteText(aText));
  }
  const std::string answer = iAnswers.front();
  iAnswers.pop_front();
  int id = EqualsNoCaseAnsi(answer, "Default") ? DefaultButtonOf(aType) : ButtonFromName(answer);
  bool fits = false;
  for (int b : ButtonsOf(aType)) fits = fits || b == id;
  if (!fits) {
    record.answer = "(unusable answer " + QuoteText(answer) + ")";
    Log(record);
    throw ScriptError("the answer " + QuoteText(answer) + " does not fit the message box " +
                      QuoteText(aTitle) + ": " + QuoteText(aText));
  }
  record.answer = std::string(ButtonName(id));
  Log(record);
  return id;
}

std::string ScriptedUserInterface::BrowseForFolder(std::string_view aTitle) {
  Record record{true, std::string(aTitle), {}, 0, {}};
  if (iAnswers.empty()) {
    record.answer = "(no answer left)";
    Log(record);
    throw ScriptError("no answer left for the folder browser " + QuoteText(aTitle));
  }
  std::string answer = iAnswers.front();
  iAnswers.pop_front();
  if (EqualsNoCaseAnsi(answer, "Cancel")) {
    record.answer = "Cancel";
    Log(record);
    return {};
  }
  if (ButtonFromName(answer) != 0 || EqualsNoCaseAnsi(answer, "Default")) {
    record.answer = "(unusable answer " + QuoteText(answer) + ")";
    Log(record);
    throw ScriptError("the folder browser " + QuoteText(aTitle) + " got the answer " +
                      QuoteText(answer) + " instead of a folder");
  }
  if (answer[0] == '/') answer = ToWindowsPath(answer);
  record.answer = answer;
  Log(record);
  return answer;
}

}  // namespace zwin
