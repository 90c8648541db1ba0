#include "bash_completion.h"

#include <sstream>

namespace pellar::docs {
namespace {

std::string Joined(const std::vector<std::string>& words) {
  std::string joined;
  for (const std::string& word : words) joined += (joined.empty() ? "" : " ") + word;
  return joined;
}

std::string FunctionName(const std::string& program) {
  std::string name = "_" + program;
  for (char& c : name)
    if (c == '-') c = '_';
  return name;
}

// What to offer for a value: "file", "hidpath", "words:a b c", or "" (free text).
std::string ValueKind(const DocumentedOption& option) {
  if (!option.choices.empty()) return "words:" + Joined(option.choices);
  if (option.WantsFile()) return "file";
  if (option.value_name == "HIDPATH") return "hidpath";
  return "";
}

std::vector<std::string> Names(const std::vector<DocumentedOption>& options, bool taking_value) {
  std::vector<std::string> names;
  for (const DocumentedOption& option : options)
    if (!option.positional && (!taking_value || option.TakesValue()))
      names.insert(names.end(), option.names.begin(), option.names.end());
  return names;
}

// One case per option that takes a value, for the word after it.
void WriteValueCases(const DocumentedProgram& program, std::ostream& out) {
  std::vector<const DocumentedOption*> options;
  for (const DocumentedOption& option : program.options) options.push_back(&option);
  for (const DocumentedCommand& command : program.commands)
    for (const DocumentedOption& option : command.options) options.push_back(&option);
  std::vector<std::string> done;
  for (const DocumentedOption* option : options) {
    if (option->positional || !option->TakesValue()) continue;
    std::string names;
    for (const std::string& name : option->names) names += (names.empty() ? "" : "|") + name;
    bool seen = false;
    for (const std::string& name : done) seen = seen || name == names;
    if (seen) continue;
    done.push_back(names);
    out << "    " << names << ") _pellar_complete_value '" << ValueKind(*option) << "'; return ;;\n";
  }
}

void WriteCommandCases(const DocumentedProgram& program, std::ostream& out) {
  for (const DocumentedCommand& command : program.commands) {
    std::vector<std::string> kinds;
    for (const DocumentedOption& option : command.options)
      if (option.positional) kinds.push_back("'" + ValueKind(option) + "'");
    out << "        " << command.name << ")\n"
        << "          options=\"" << Joined(Names(command.options, false)) << "\"\n"
        << "          value_options=\"" << Joined(Names(command.options, true)) << "\"\n"
        << "          positionals=(" << Joined(kinds) << ") ;;\n";
  }
}

}  // namespace

std::string BashCompletion(const DocumentedProgram& program) {
  std::vector<std::string> command_names;
  for (const DocumentedCommand& command : program.commands) command_names.push_back(command.name);
  const std::string function = FunctionName(program.name);
  std::ostringstream out;
  out << "# bash completion for " << program.name << "                    -*- shell-script -*-\n"
      << "# Written by pellar-docs from the program's own option definitions.\n\n"
      << "_pellar_complete_value() {\n"
      << "  case \"$1\" in\n"
      << "    file) _filedir ;;\n"
      << "    hidpath) COMPREPLY=($(compgen -G \"${cur:-/dev/hidraw}*\")) ;;\n"
      << "    words:*) COMPREPLY=($(compgen -W \"${1#words:}\" -- \"${cur,,}\")) ;;\n"
      << "  esac\n"
      << "}\n\n"
      << function << "() {\n"
      << "  local cur prev words cword\n"
      << "  _init_completion || return\n\n"
      << "  local common=\"" << Joined(Names(program.options, false)) << "\"\n"
      << "  local common_values=\"" << Joined(Names(program.options, true)) << "\"\n"
      << "  local commands=\"" << Joined(command_names) << "\"\n\n"
      << "  case \"$prev\" in\n";
  WriteValueCases(program, out);
  out << "  esac\n\n"
      << "  # The command, and how many arguments stand after it, skipping options and their values.\n"
      << "  local command=\"\" count=0 i word\n"
      << "  local options=\"\" value_options=\"\" positionals=()\n"
      << "  for ((i = 1; i < cword; i++)); do\n"
      << "    word=${words[i]}\n"
      << "    if [[ \" $common_values $value_options \" == *\" $word \"* ]]; then ((i++)); continue; fi\n"
      << "    [[ $word == -* ]] && continue\n"
      << "    if [[ -z $command ]]; then\n"
      << "      command=$word\n"
      << "      case \"$command\" in\n";
  WriteCommandCases(program, out);
  out << "      esac\n"
      << "    else\n"
      << "      ((count++))\n"
      << "    fi\n"
      << "  done\n\n"
      << "  if [[ $cur == -* ]]; then\n"
      << "    COMPREPLY=($(compgen -W \"$options $common\" -- \"$cur\"))\n"
      << "  elif [[ -z $command ]]; then\n"
      << "    COMPREPLY=($(compgen -W \"$commands\" -- \"$cur\"))\n"
      << "  elif ((count < ${#positionals[@]})); then\n"
      << "    _pellar_complete_value \"${positionals[count]}\"\n"
      << "  fi\n"
      << "} &&\n"
      << "  complete -F " << function << ' ' << program.name << '\n';
  return out.str();
}

}  // namespace pellar::docs
