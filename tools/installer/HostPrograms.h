// Installed programs on this host: a copied file that is a program (an ELF image or a
// script starting with "#!") is made runnable, as any program file is on Windows.
#pragma once

#include <string>

namespace zolv::install {

// When the file at aWindowsPath starts like a program, adds the permission to run it
// wherever the permission to read it is set. Returns true when it did; other files and
// files that cannot be read or changed are left as they are.
bool MakeRunnableWhenProgram(const std::string& aWindowsPath);

}  // namespace zolv::install
