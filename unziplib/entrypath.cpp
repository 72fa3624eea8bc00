#include "unziplib/entrypath.h"

#include <cctype>

namespace unziplib {

std::string EntryPath::joined() const {
  std::string path;
  for (const std::string &part : components) {
    if (!path.empty())
      path += '/';
    path += part;
  }
  return path;
}

EntryPath confineEntryName(const std::string &name, bool keepFolders) {
  EntryPath result;
  std::string s = name;
  bool backslashes = false;
  for (char &c : s) {
    if (c == '\\') {
      c = '/';
      backslashes = true;
    }
  }
  if (backslashes)
    result.warnings.push_back("backslashes taken as folder separators");
  result.isDirectory = !s.empty() && s.back() == '/';
  if (s.size() >= 2 && std::isalpha(static_cast<unsigned char>(s[0])) && s[1] == ':') {
    s.erase(0, 2);
    result.warnings.push_back("stripped drive letter");
  }
  if (!s.empty() && s.front() == '/')
    result.warnings.push_back("stripped absolute path");

  bool skippedParent = false;
  size_t start = 0;
  while (start <= s.size()) {
    size_t end = s.find('/', start);
    if (end == std::string::npos)
      end = s.size();
    std::string part = s.substr(start, end - start);
    start = end + 1;
    if (part.empty() || part == ".")
      continue;
    if (part == "..") {
      skippedParent = true;
      continue;
    }
    result.components.push_back(std::move(part));
  }
  if (skippedParent)
    result.warnings.push_back("skipped \"../\" path components");

  if (!keepFolders && result.components.size() > 1)
    result.components.erase(result.components.begin(), result.components.end() - 1);

  if (result.components.empty() && !result.isDirectory) {
    result.refusal = "no usable file name";
    return result;
  }
  size_t total = 0;
  for (const std::string &part : result.components) {
    if (part.size() > kMaxComponent) {
      result.refusal = "name too long";
      return result;
    }
    total += part.size() + 1;
  }
  if (total > kMaxRelativePath)
    result.refusal = "path too long";
  return result;
}

bool matchesWildcard(const std::string &name, const std::string &pattern) {
  auto same = [](char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) ==
           std::tolower(static_cast<unsigned char>(b));
  };
  size_t n = 0, p = 0, starP = std::string::npos, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() &&
        (pattern[p] == '?' || (pattern[p] != '*' && same(pattern[p], name[n])))) {
      ++n;
      ++p;
    } else if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starN = n;
    } else if (starP != std::string::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*')
    ++p;
  return p == pattern.size();
}

} // namespace unziplib
