#include "ProjectGenerator.h"

#include <algorithm>
#include <utility>

#include "SdkLocator.h"
#include "zwindows/error.h"
#include "zwindows/files.h"
#include "zwindows/process.h"

namespace zolv {

using namespace zwin;

namespace {
struct TemplateFile {
  const char* folder;
  const char* extension;
  const char* suffix;
};

// The files of a project, in the order they are generated.
constexpr TemplateFile kTemplateFiles[] = {
    {"", ".mmp", ""},
    {"Source", ".h", ""},
    {"Source", ".hrh", ""},
    {"Source", ".rss", ""},
    {"Source", ".cpp", "_Application"},
    {"Source", ".cpp", "_AppUi"},
    {"Source", ".cpp", "_AppView"},
    {"Source", ".cpp", "_Document"},
    {"Source", ".cpp", "_Main"},
    {"Source", ".cpp", "_Script"},
};

constexpr const char* kTemplateBaseName = "Template";
constexpr const char* kUidPlaceholder = "01000666";
}  // namespace

std::string ReplaceAll(std::string aText, const std::string& aFrom, const std::string& aTo) {
  if (aFrom.empty()) return aText;
  std::string out;
  out.reserve(aText.size());
  std::size_t pos = 0;
  for (;;) {
    const std::size_t hit = aText.find(aFrom, pos);
    if (hit == std::string::npos) break;
    out.append(aText, pos, hit - pos);
    out += aTo;
    pos = hit + aFrom.size();
  }
  out.append(aText, pos, std::string::npos);
  return out;
}

std::string SystemErrorText(unsigned aError, const std::string& aFile) {
  std::string text = SystemMessage(aError);
  if (text.size() < 512) text += "\n" + aFile;
  return text;
}

ProjectGenerator::ProjectGenerator(UserInterface& aUi, ProjectSettings aSettings)
    : iUi(aUi), iSettings(std::move(aSettings)) {}

bool ProjectGenerator::ValidName(const std::string& aName) {
  if (aName.empty() || aName.size() > 32) return false;
  for (char c : aName) {
    const bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                    c == '-' || c == '_';
    if (!ok) return false;
  }
  return true;
}

bool ProjectGenerator::ValidUid(const std::string& aUid) {
  if (aUid.size() != 8) return false;
  for (char c : aUid) {
    const bool ok = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
    if (!ok) return false;
  }
  return true;
}

std::string ProjectGenerator::ProjectDirectory() const {
  return iSettings.baseDirectory + iSettings.name + "\\";
}

void ProjectGenerator::Error(const std::string& aText) {
  iUi.MessageBox(aText, "Error", MB_OK | MB_ICONERROR);
}

bool ProjectGenerator::GenerateFile(const std::string& aFolder, const std::string& aExtension,
                                    const std::string& aSuffix) {
  const std::string templatePath =
      aFolder.empty() ? "Templates\\" + std::string(kTemplateBaseName) + aSuffix + aExtension
                      : "Templates\\" + aFolder + "\\" + kTemplateBaseName + aSuffix + aExtension;
  std::string text;
  if (!ReadTextIn8BytePieces(iSettings.wizardDirectory + templatePath, text)) {
    Error("Failed to open template file " + templatePath);
    return false;
  }
  text = ReplaceAll(std::move(text), kTemplateBaseName, iSettings.name);
  text = ReplaceAll(std::move(text), kUidPlaceholder, iSettings.uid);

  const std::string outputPath = aFolder + "\\" + iSettings.name + aSuffix + aExtension;
  const std::string file = ProjectDirectory() + outputPath;
  UniqueHandle out(CreateFile(file, GENERIC_WRITE, 0, CREATE_ALWAYS));
  if (!out.Valid()) return false;
  std::size_t done = 0;
  while (done < text.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(text.size() - done, 1u << 30));
    DWORD written = 0;
    if (!WriteFile(out.Get(), text.data() + done, chunk, &written)) {
      const DWORD error = GetLastError();
      out.Reset();
      Error(SystemErrorText(error, file));
      return false;
    }
    done += written;
  }
  return true;
}

bool ProjectGenerator::Generate() {
  if (!ValidName(iSettings.name) || !ValidUid(iSettings.uid)) return false;
  const std::string project = ProjectDirectory();
  if (!CreateDirectory(project)) {
    const DWORD error = GetLastError();
    Error(error == ERROR_ALREADY_EXISTS ? "Directory already exists. Select different directory."
                                        : SystemMessage(error));
    return false;
  }
  if (!CreateDirectory(project + "Source\\")) {
    Error(SystemMessage(GetLastError()));
    return false;
  }
  bool allWritten = true;
  for (const auto& f : kTemplateFiles) {
    if (!GenerateFile(f.folder, f.extension, f.suffix)) allWritten = false;
  }
  if (!CreateProcess("makmake.bat " + iSettings.name + " vc6", project, &iProjectTool)) {
    iProjectTool = ProcessInformation{};
    Error("Could not find makmake utility!\nCall \"makmake " + iSettings.name + " vc6\" manually");
  }
  if (allWritten) {
    iUi.MessageBox("Application template successfully created!", "Success",
                   MB_OK | MB_ICONINFORMATION);
  } else {
    iUi.MessageBox("Failed to create application template!", "Failure", MB_OK | MB_ICONERROR);
  }
  return allWritten;
}

}  // namespace zolv
