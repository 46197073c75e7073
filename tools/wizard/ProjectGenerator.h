// Generates a new Symbian application project that uses the engine from the
// wizard's template files, then starts the SDK's project tool on it.
#pragma once

#include <string>

#include "zwindows/process.h"
#include "zwindows/ui.h"

namespace zolv {

struct ProjectSettings {
  std::string name;               // 1..32 of A-Z a-z 0-9 - _
  std::string uid;                // 8 hexadecimal digits, no "0x"
  std::string baseDirectory;      // ends with a backslash
  std::string wizardDirectory;    // folder of the wizard program, ends with a backslash
};

class ProjectGenerator {
 public:
  ProjectGenerator(zwin::UserInterface& aUi, ProjectSettings aSettings);

  // Creates the project and source folders, writes the ten files and starts the
  // project tool, reporting every problem in a message box. Returns true when all
  // ten files were written.
  bool Generate();

  // Generates one file from "Templates\<folder>\Template<suffix><ext>" (no folder part when
  // aFolder is empty) into "<project>\<folder>\<name><suffix><ext>".
  bool GenerateFile(const std::string& aFolder, const std::string& aExtension,
                    const std::string& aSuffix);

  std::string ProjectDirectory() const;

  // The project tool started by Generate (process id 0 when it could not be started).
  const zwin::ProcessInformation& ProjectTool() const { return iProjectTool; }

  // The settings' name and UID are usable: the generator writes nothing otherwise.
  static bool ValidName(const std::string& aName);
  static bool ValidUid(const std::string& aUid);

 private:
  void Error(const std::string& aText);

  zwin::UserInterface& iUi;
  ProjectSettings iSettings;
  zwin::ProcessInformation iProjectTool;
};

// Replaces every occurrence of aFrom in aText by aTo.
std::string ReplaceAll(std::string aText, const std::string& aFrom, const std::string& aTo);

// The system's message text for aError followed by a line break and aFile, the file
// part only when the system text is shorter than 512 characters.
std::string SystemErrorText(unsigned aError, const std::string& aFile);

}  // namespace zolv
