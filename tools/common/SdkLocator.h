// Finds the installed Symbian SDK for the Nokia 9200 Communicator series from its
// registry record and the SDK list file; shared by the wizard and the installer.
#pragma once

#include <string>
#include <string_view>

#include "zwindows/types.h"

namespace zolv {

// Key and value of the SDK registration under HKEY_LOCAL_MACHINE.
inline constexpr const char* kSdkRegistryKey = "SOFTWARE\\Symbian\\EPOC SDKs";
inline constexpr const char* kSdkRegistryValue = "CommonPath";
// The list file, formed with the "CommonPath" text.
inline constexpr const char* kSdkListFormat = "%s\\installed.xml";
// What the locator gives when no matching SDK is found.
inline constexpr const char* kDefaultSdkRoot = "C:\\";
inline constexpr std::size_t kRegistryValueSize = 1024;

// Reads one registry value under HKEY_LOCAL_MACHINE into a zero-filled buffer of
// 1024 bytes and returns its text up to the first zero byte (never beyond the buffer).
// Returns the error of opening the key (with an empty text) or the result of closing it;
// a missing value leaves the text empty.
zwin::LONG ReadRegistryValue(std::string_view aSubKey, const char* aValueName, std::string& aValue);

// The text between the first "<tag>" and the first "</tag>" of aBlock, or the empty
// text when either is missing. Returns 1, or 0 when memory runs out.
int ExtractElement(std::string_view aTag, std::string_view aBlock, std::string& aOut);

// Reads a whole file as text, 8 bytes at a time; each piece is appended up to its first
// zero byte. Returns false when the file cannot be opened.
bool ReadTextIn8BytePieces(std::string_view aPath, std::string& aText);

// Scans the SDK list file for the first "sdk" block of version "6.0", language "C++"
// and platform "Nokia"; aRoot becomes its non-shared path ending in a backslash, or
// "C:\" when there is none. Returns 0 when the file cannot be opened, else 1.
// aFound tells whether a block matched.
int FindSdkRoot(std::string_view aListPath, std::string& aRoot, bool* aFound = nullptr);

// The list file path the callers form from the "CommonPath" text.
std::string SdkListPath(std::string_view aCommonPath);

// The engine's files in the SDK tree, relative to the SDK root, in checking order.
inline constexpr const char* kEngineFiles[3] = {
    "Epoc32\\Include\\Zolvane.h",
    "Epoc32\\Release\\wins\\udeb\\Zolvane.lib",
    "Epoc32\\Release\\wins\\udeb\\Zolvane.dll",
};

}  // namespace zolv
