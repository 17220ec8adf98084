#include "host/Workspace.h"

#include "hostsdk/HostDispIds.h"

namespace host {

namespace id = hostsdk::dispid;

namespace {

// A message's parameter string: name=value pairs joined by '|', where only
// the first '=' of a pair separates.
std::map<std::string, std::string> MessageFields(const std::string& text) {
  std::map<std::string, std::string> fields;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('|', start);
    if (end == std::string::npos) end = text.size();
    const std::string pair = text.substr(start, end - start);
    const size_t eq = pair.find('=');
    if (eq != std::string::npos) fields.emplace(pair.substr(0, eq), pair.substr(eq + 1));
    start = end + 1;
  }
  return fields;
}

}  // namespace

MessagesManager::MessagesManager(HostConsole& console) : console_(console) {
  On(id::kMessages_AddMessage, [this](const Args& a) {
    Add({MessageFields(a.String(0)), a.Count() > 1 ? a.String(1) : std::string()});
    return Variant();
  });
  On(id::kMessages_AddMessageFields, [this](const Args& a) {
    PanelMessage message;
    message.fields["Class"] = a.String(0);
    message.fields["Text"] = a.String(1);
    message.fields["ImageIndex"] = std::to_string(a.Int(2));
    Add(std::move(message));
    return Variant();
  });
  On(id::kMessages_BeginUpdate, [](const Args&) { return Variant(); });
  On(id::kMessages_EndUpdate, [](const Args&) { return Variant(); });
}

void MessagesManager::Add(PanelMessage message) {
  console_.MessageLine(message.fields["Class"] + " " + message.fields["Text"]);
  messages_.push_back(std::move(message));
}

Workspace::Workspace(HostConsole& console)
    : console_(console), messages_(MakeHostObject<MessagesManager>(console)) {
  On(id::kWorkspace_AddOutputLine, [this](const Args& a) {
    output_.push_back(a.String(0));
    console_.OutputLine(output_.back());
    return Variant();
  });
  On(id::kWorkspace_OutputLineCount, [this](const Args&) {
    return Variant::Int(static_cast<int32_t>(output_.size()));
  });
  On(id::kWorkspace_GetMessagesManager, [this](const Args&) {
    return Variant::Dispatch(messages_.Get());
  });
  On(id::kWorkspace_ProjectByPath, [this](const Args& a) {
    const std::string path = a.String(0);
    for (auto& project : projects_)
      if (project->FileName() == path) return Variant::Dispatch(project.Get());
    return Variant::Dispatch(nullptr);
  });
  On(id::kWorkspace_DocumentByPath, [this](const Args& a) {
    const std::string path = a.String(0);
    for (auto& document : documents_)
      if (document->FileName() == path) return Variant::Dispatch(document.Get());
    return Variant::Dispatch(nullptr);
  });
}

void Workspace::AddProject(ComPtr<Project> project) { projects_.push_back(std::move(project)); }
void Workspace::AddDocument(ComPtr<Document> document) { documents_.push_back(std::move(document)); }

}  // namespace host
