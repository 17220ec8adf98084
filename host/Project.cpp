#include "host/Project.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <system_error>

#include "hostsdk/AtomicFile.h"
#include "hostsdk/HostDispIds.h"
#include "hostsdk/Utf8Path.h"

namespace host {

namespace id = hostsdk::dispid;

namespace {

std::string Folded(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

std::string Trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return {};
  const auto last = text.find_last_not_of(" \t\r\n");
  return text.substr(first, last - first + 1);
}

// A value is one line of the file and keeps every character, blanks at its
// ends included: line breaks and the backslash are written as \n, \r, \\.
std::string EncodedValue(const std::string& value) {
  std::string text;
  for (const char c : value) {
    if (c == '\\')
      text += "\\\\";
    else if (c == '\n')
      text += "\\n";
    else if (c == '\r')
      text += "\\r";
    else
      text += c;
  }
  return text;
}

// Any other backslash stays as it is, as a hand-written file has it.
std::string DecodedValue(const std::string& text) {
  std::string value;
  for (size_t i = 0; i < text.size(); ++i) {
    const char next = i + 1 < text.size() ? text[i + 1] : '\0';
    if (text[i] != '\\' || (next != '\\' && next != 'n' && next != 'r')) {
      value += text[i];
      continue;
    }
    value += next == 'n' ? '\n' : next == 'r' ? '\r' : '\\';
    ++i;
  }
  return value;
}

}  // namespace

Document::Document(std::string fileName) : fileName_(std::move(fileName)) {
  On(id::kDocument_GetFileName, [this](const Args&) { return Variant::String(fileName_); });
  On(id::kDocument_BeginSave, [this](const Args&) {
    saving_ = true;
    return Variant();
  });
  On(id::kDocument_EndSave, [this](const Args&) {
    saving_ = false;
    ++saves_;
    return Variant();
  });
}

OptionsStorage::OptionsStorage(std::string file) : file_(std::move(file)) {
  Load();
  On(id::kOptions_Write, [this](const Args& a) {
    Write(a.String(0), a.String(1), a.String(2));
    return Variant();
  });
  On(id::kOptions_Read, [this](const Args& a) {
    return Variant::String(Read(a.String(0), a.String(1), a.Count() > 2 ? a.String(2) : ""));
  });
  On(id::kOptions_Remove, [this](const Args& a) {
    Remove(a.String(0), a.String(1));
    return Variant();
  });
}

std::string OptionsStorage::Read(const std::string& section, const std::string& name,
                                 const std::string& fallback) const {
  auto s = values_.find(Folded(section));
  if (s == values_.end()) return fallback;
  auto v = s->second.find(Folded(name));
  return v == s->second.end() ? fallback : v->second;
}

void OptionsStorage::Write(const std::string& section, const std::string& name,
                           const std::string& value) {
  values_[Folded(section)][Folded(name)] = value;
  Save();
}

void OptionsStorage::Remove(const std::string& section, const std::string& name) {
  auto s = values_.find(Folded(section));
  if (s == values_.end() || !s->second.erase(Folded(name))) return;
  Save();
}

void OptionsStorage::Load() {
  if (file_.empty()) return;
  std::ifstream in(hostsdk::PathFromUtf8(file_));
  if (!in) return;  // a new project starts empty
  std::string line, section;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();  // a CR LF file
    const std::string trimmed = Trimmed(line);
    if (trimmed.empty() || trimmed[0] == ';') continue;
    if (trimmed.front() == '[' && trimmed.back() == ']') {
      section = Folded(trimmed.substr(1, trimmed.size() - 2));
      continue;
    }
    const auto eq = line.find('=');
    if (eq == std::string::npos)
      throw std::runtime_error(file_ + ":" + std::to_string(number) + ": expected name=value, got \"" +
                               trimmed + "\"");
    values_[section][Folded(Trimmed(line.substr(0, eq)))] = DecodedValue(line.substr(eq + 1));
  }
}

void OptionsStorage::Save() const {
  if (file_.empty()) return;
  std::string text;
  for (const auto& [section, names] : values_) {
    text += '[' + section + "]\n";
    for (const auto& [name, value] : names) text += name + '=' + EncodedValue(value) + '\n';
  }
  // On the disk in full before it takes the project file's name.
  const std::filesystem::path target = hostsdk::WriteLocation(hostsdk::PathFromUtf8(file_));
  const std::filesystem::path temporary = hostsdk::WriteTempFileBeside(target, text);
  std::error_code error;
  if (hostsdk::ReplaceFile(temporary, target, error)) return;
  std::error_code ignored;
  std::filesystem::remove(temporary, ignored);
  throw std::runtime_error("cannot replace " + file_ + ": " + error.message());
}

Project::Project(std::string fileName, std::string optionsFile)
    : fileName_(std::move(fileName)), options_(MakeHostObject<OptionsStorage>(std::move(optionsFile))) {
  On(id::kProject_GetOptionsStorage, [this](const Args&) { return Variant::Dispatch(options_.Get()); });
  On(id::kProject_DocumentCount, [this](const Args&) {
    return Variant::Int(static_cast<int32_t>(documents_.size()));
  });
  On(id::kProject_DocumentByIndex, [this](const Args& a) {
    return Variant::Dispatch(documents_.at(static_cast<size_t>(a.Int(0))).Get());
  });
  On(id::kProject_RelatedProject, [](const Args&) { return Variant::Dispatch(nullptr); });
  On(id::kProject_UserId, [](const Args&) { return Variant::String(""); });
  On(id::kProject_GetFileName, [this](const Args&) { return Variant::String(fileName_); });
}

ComPtr<Document> Project::AddDocument(const std::string& fileName) {
  documents_.push_back(MakeHostObject<Document>(fileName));
  return documents_.back();
}

}  // namespace host
