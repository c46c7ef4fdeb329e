#include "host/options/option_completion.h"

#include <cstdio>

namespace {

// Validators named so declare what their option completes to.
constexpr const char *WORDS = "complete words";
constexpr const char *FILES = "complete files";
constexpr const char *FOLDERS = "complete folders";

std::string joined(const std::vector<std::string> &items, const char *between)
{
    std::string text;
    for (const std::string &item : items)
        text += (text.empty() ? "" : between) + item;
    return text;
}

std::string with_items(const char *kind, const std::vector<std::string> &items)
{
    return items.empty() ? kind : std::string(kind) + " " + joined(items, " ");
}

CLI::Option *declare(CLI::Option *option, const std::string &name)
{
    return option->check(CLI::Validator([](std::string &) { return std::string(); }, "", name));
}

// What the option's validators declare, each as "complete KIND ITEMS...".
std::vector<std::string> declarations(CLI::Option *option)
{
    std::vector<std::string> found;
    for (int i = 0;; ++i) {
        const CLI::Validator *v = nullptr;
        try {
            v = option->get_validator(i);
        } catch (const CLI::OptionNotFound &) {
            return found;
        }
        if (v->get_name().starts_with("complete "))
            found.push_back(v->get_name());
    }
}

// The items after "complete KIND " of the declarations of that kind.
std::vector<std::string> declared(CLI::Option *option, const std::string &kind)
{
    std::vector<std::string> items;
    for (const std::string &d : declarations(option)) {
        if (d != kind && !d.starts_with(kind + " "))
            continue;
        std::string rest = d.substr(kind.size());
        std::size_t at = 0;
        while ((at = rest.find_first_not_of(' ', at)) != std::string::npos) {
            const std::size_t end = rest.find(' ', at);
            items.push_back(rest.substr(at, end - at));
            at = end;
        }
    }
    return items;
}

bool declares(CLI::Option *option, const std::string &kind)
{
    for (const std::string &d : declarations(option))
        if (d == kind || d.starts_with(kind + " "))
            return true;
    return false;
}

bool hidden(const CLI::Option *option) { return option->get_group().empty(); }

std::vector<std::string> names_of(const CLI::Option *option)
{
    std::vector<std::string> names;
    for (const std::string &s : option->get_snames())
        names.push_back("-" + s);
    for (const std::string &l : option->get_lnames())
        names.push_back("--" + l);
    return names;
}

// Shell words in single quotes; option names, file endings and choices are plain.
std::string quoted(const std::string &text) { return "'" + text + "'"; }

// The calls that offer what an option's value (or a positional) completes to.
std::string value_completion(CLI::Option *option)
{
    std::string calls;
    const std::vector<std::string> words = declared(option, WORDS);
    if (!words.empty())
        calls += "_pc_snake_words " + quoted(joined(words, " ")) + "; ";
    if (declares(option, FILES)) {
        calls += "_pc_snake_files";
        for (const std::string &ending : declared(option, FILES))
            calls += " " + quoted(ending);
        calls += "; ";
    }
    if (declares(option, FOLDERS))
        calls += "_pc_snake_folders; ";
    return calls;
}

// Helpers shared by the scripts of all the programs (the same in each).
constexpr const char *HELPERS = R"(# Each adds to COMPREPLY what completes the word $cur.
_pc_snake_words()
{
    local IFS=$' \t\n'
    COMPREPLY+=($(compgen -W "$1" -- "$cur"))
    return 0
}

# Files with one of the endings given (any file without one), and the
# folders they may be in.
_pc_snake_files()
{
    local IFS=$'\n' ending
    compopt -o filenames 2>/dev/null
    if (($# == 0)); then
        COMPREPLY+=($(compgen -f -- "$cur"))
        return 0
    fi
    COMPREPLY+=($(compgen -d -- "$cur"))
    for ending; do
        COMPREPLY+=($(compgen -f -X "!*$ending" -- "$cur"))
    done
    return 0
}

_pc_snake_folders()
{
    local IFS=$'\n'
    compopt -o filenames 2>/dev/null
    COMPREPLY+=($(compgen -d -- "$cur"))
    return 0
}

)";

} // namespace

CLI::Option *complete_words(CLI::Option *option, const std::vector<std::string> &words)
{
    return declare(option, completion_words_name(words));
}

CLI::Option *complete_files(CLI::Option *option, const std::vector<std::string> &endings)
{
    return declare(option, with_items(FILES, endings));
}

CLI::Option *complete_folders(CLI::Option *option) { return declare(option, FOLDERS); }

std::string completion_words_name(const std::vector<std::string> &words)
{
    return with_items(WORDS, words);
}

std::vector<std::string> declared_endings(CLI::App &app, const std::string &option)
{
    return declared(app.get_option(option), FILES);
}

void add_completion_flag(CLI::App &app, const std::string &program)
{
    app.add_flag_callback(
           "--bash-completion",
           [&app, program] {
               std::fputs(bash_completion(app, program).c_str(), stdout);
               throw CLI::Success();
           },
           "print the bash completion of the options")
        ->group("")
        ->trigger_on_parse();
}

std::string bash_completion(CLI::App &app, const std::string &program)
{
    std::string function = "_" + program;
    for (char &c : function)
        c = c == '-' ? '_' : c;
    std::vector<std::string> all_names, value_names;
    std::string value_cases, positional_cases;
    int positional = 0;
    for (CLI::Option *option : app.get_options([](const CLI::Option *) { return true; })) {
        if (!option->nonpositional()) {
            const std::string calls = value_completion(option);
            if (!calls.empty())
                positional_cases += "    " + std::to_string(positional) + ") " + calls + ";;\n";
            ++positional;
            continue;
        }
        if (hidden(option))
            continue;
        const std::vector<std::string> names = names_of(option);
        all_names.insert(all_names.end(), names.begin(), names.end());
        if (option->get_expected_max() == 0)
            continue; // a flag
        value_names.insert(value_names.end(), names.begin(), names.end());
        value_cases +=
            "    " + joined(names, " | ") + ") " + value_completion(option) + "return ;;\n";
    }
    std::string script = "# bash completion for " + program + ", written by `" + program +
                         " --bash-completion` from its options.\n\n";
    script += HELPERS;
    script += function + "()\n{\n";
    script += R"(    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]} i n=0
    # --name=value: bash splits the word at the =.
    if [[ $cur == = ]]; then
        cur=
    elif [[ $prev == = ]] && ((COMP_CWORD > 1)); then
        prev=${COMP_WORDS[COMP_CWORD-2]}
    fi
    COMPREPLY=()
    case $prev in
)";
    script += value_cases;
    script += "    esac\n";
    script += "    if [[ $cur == -* ]]; then\n";
    script += "        _pc_snake_words " + quoted(joined(all_names, " ")) + "\n";
    script += "        return\n    fi\n";
    if (!positional_cases.empty()) {
        script +=
            "    # The positionals so far: the words that are neither options nor their values.\n";
        script += "    for ((i = 1; i < COMP_CWORD; i++)); do\n";
        script += "        case ${COMP_WORDS[i]} in\n";
        if (!value_names.empty()) {
            script += "        " + joined(value_names, " | ") + ")\n";
            script += "            [[ ${COMP_WORDS[i+1]} == = ]] && ((i++))\n";
            script += "            ((i++)) ;;\n";
        }
        script += "        -*) ;;\n        *) ((n++)) ;;\n        esac\n    done\n";
        script += "    case $n in\n" + positional_cases + "    esac\n";
    }
    script += "}\ncomplete -F " + function + " " + program + "\n";
    return script;
}
