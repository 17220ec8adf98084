// A design project of the stand-in host: its documents and its option
// storage, kept in a project file of "[section]" headers and "name=value"
// lines (a value keeps its blanks; line breaks and backslashes in it are
// written as \n, \r and \\). Every write is saved at once (to a temporary
// file renamed over the project file, so a failed save never loses the
// previous one).
#pragma once

#include <map>
#include <string>
#include <vector>

#include "host/HostObject.h"

namespace host {

class Document : public HostObject {
 public:
  explicit Document(std::string fileName);
  const std::string& FileName() const { return fileName_; }
  int SaveNotifications() const { return saves_; }
  bool Saving() const { return saving_; }

 private:
  std::string fileName_;
  int saves_ = 0;
  bool saving_ = false;
};

class OptionsStorage : public HostObject {
 public:
  // `file` empty: kept in memory only.
  explicit OptionsStorage(std::string file);

  std::string Read(const std::string& section, const std::string& name,
                   const std::string& fallback) const;
  void Write(const std::string& section, const std::string& name, const std::string& value);
  void Remove(const std::string& section, const std::string& name);

 private:
  void Load();
  void Save() const;

  std::string file_;
  // Sections and names compare without regard to case, as the host's do.
  std::map<std::string, std::map<std::string, std::string>> values_;
};

class Project : public HostObject {
 public:
  Project(std::string fileName, std::string optionsFile);

  const std::string& FileName() const { return fileName_; }
  OptionsStorage& Options() { return *options_; }
  ComPtr<Document> AddDocument(const std::string& fileName);

 private:
  std::string fileName_;
  ComPtr<OptionsStorage> options_;
  std::vector<ComPtr<Document>> documents_;
};

}  // namespace host
