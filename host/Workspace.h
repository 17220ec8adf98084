// The host's workspace: the output panel, the message panel (messages
// manager), projects by path and documents by path.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "host/HostConsole.h"
#include "host/HostObject.h"
#include "host/Project.h"

namespace host {

// One message of the message panel, with the fields of its parameter string.
struct PanelMessage {
  std::map<std::string, std::string> fields;  // "Class", "Text", "Source", ...
  std::string details;
};

class MessagesManager : public HostObject {
 public:
  explicit MessagesManager(HostConsole& console);
  const std::vector<PanelMessage>& Messages() const { return messages_; }

 private:
  void Add(PanelMessage message);

  HostConsole& console_;
  std::vector<PanelMessage> messages_;
};

class Workspace : public HostObject {
 public:
  explicit Workspace(HostConsole& console);

  MessagesManager& Messages() { return *messages_; }
  void AddProject(ComPtr<Project> project);
  void AddDocument(ComPtr<Document> document);
  const std::vector<std::string>& OutputLines() const { return output_; }

 private:
  HostConsole& console_;
  ComPtr<MessagesManager> messages_;
  std::vector<ComPtr<Project>> projects_;
  std::vector<ComPtr<Document>> documents_;
  std::vector<std::string> output_;
};

}  // namespace host
