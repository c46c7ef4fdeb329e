// Bash completion written from a program's own CLI11 options, so that it
// follows them: their names, whether each takes a value, and what the value
// may be as the option declares it (words of a fixed set, files with fixed
// endings, folders). A hidden --bash-completion prints the script; the build
// installs what it prints.
#pragma once

#include <CLI/CLI.hpp>

#include <string>
#include <vector>

// What an option's value completes to, declared on the option itself: a
// validator that refuses nothing and carries the words, endings or folders
// in its name. An option may take words and files both (--keys: builtin or a file).
CLI::Option *complete_words(CLI::Option *option, const std::vector<std::string> &words);
CLI::Option *complete_files(CLI::Option *option, const std::vector<std::string> &endings = {});
CLI::Option *complete_folders(CLI::Option *option);

// The name for a validator that checks a value against `words` (the looks,
// the WAV formats, a small whole range): the completion offers them.
std::string completion_words_name(const std::vector<std::string> &words);

// The endings an option declared for its files (complete_files), e.g. {".gif"}.
std::vector<std::string> declared_endings(CLI::App &app, const std::string &option);

// A hidden --bash-completion: prints bash_completion(app, program) and ends
// the parse with status 0 (CLI::Success).
void add_completion_flag(CLI::App &app, const std::string &program);

// The script: a function that completes `program`'s option names, the values
// they declare, and the words of its positionals; `complete -F` binds it.
std::string bash_completion(CLI::App &app, const std::string &program);
