#include "project/project.h"

std::span<const ProjectFieldKey> ProjectFieldKeys() { return {}; }
const char* ControlOfFieldKey(std::string_view) { return nullptr; }
std::span<const FeedbackOption> FeedbackOptions() { return {}; }
const char* ControlOfFeedback(std::string_view) { return nullptr; }
std::variant<Project, std::string> ParseProject(std::string_view) { return std::string("-"); }
std::variant<Project, std::string> ReadProjectFile(const std::string&) { return std::string("-"); }
std::variant<std::string, ProjectError> SerializeProject(const Project&) { return ProjectError{"-"}; }
std::optional<std::string> WriteProjectFile(const std::string&, const Project&) { return "-"; }
