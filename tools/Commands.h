#pragma once

#include <string>
#include <vector>

// The verbs of sparv-fx. Each takes the arguments after its name, writes its result to
// stdout and its problems to stderr, and returns the process exit status (0 success,
// 1 failure or problems found, 2 bad usage).
int RunDump(const std::vector<std::string>& args);
int RunNew(const std::vector<std::string>& args);
int RunLint(const std::vector<std::string>& args);
int RunSimulate(const std::vector<std::string>& args);
int RunBudget(const std::vector<std::string>& args);
int RunMeshImport(const std::vector<std::string>& args);
int RunRender(const std::vector<std::string>& args);
int RunMakeAssets(const std::vector<std::string>& args);
int RunSnapshot(const std::vector<std::string>& args);
int RunBake(const std::vector<std::string>& args);

// A style from its file name ("STYLE_RING") or its short name in any case ("ring");
// kStyleNone when neither.
int ParseStyle(const std::string& text);
