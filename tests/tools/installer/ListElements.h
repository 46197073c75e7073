// The contents of every "<tag>" element of an installation list, in order: how the
// installation tests read what a list says.
#pragma once

#include <string>
#include <vector>

inline std::vector<std::string> Elements(const std::string& aText, const std::string& aTag) {
  std::vector<std::string> out;
  const std::string open = "<" + aTag + ">";
  const std::string close = "</" + aTag + ">";
  for (std::size_t at = aText.find(open); at != std::string::npos; at = aText.find(open, at + 1)) {
    const std::size_t begin = at + open.size();
    const std::size_t end = aText.find(close, begin);
    if (end == std::string::npos) break;
    out.push_back(aText.substr(begin, end - begin));
  }
  return out;
}
