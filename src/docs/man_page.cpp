#include "man_page.h"

#include <sstream>

namespace pellar::docs {
namespace {

std::string Bold(const std::string& text) { return "\\fB" + RoffEscape(text) + "\\fR"; }
std::string Italic(const std::string& text) { return "\\fI" + RoffEscape(text) + "\\fR"; }

std::string Sentence(std::string text) {
  if (!text.empty() && text.back() != '.') text += '.';
  return RoffEscape(text);
}

// "-o FILE", "--device VID:PID", "LISTFILE".
std::string Usage(const DocumentedOption& option) {
  if (option.positional) return Italic(option.names.front());
  std::string usage;
  for (const std::string& name : option.names) usage += (usage.empty() ? "" : ", ") + Bold(name);
  if (option.TakesValue()) usage += " " + Italic(option.value_name);
  return usage;
}

// The short form in a synopsis: required ones bare, the others in brackets.
std::string SynopsisItem(const DocumentedOption& option) {
  std::string item = option.positional ? Italic(option.names.front()) : Bold(option.names.back());
  if (!option.positional && option.TakesValue()) item += " " + Italic(option.value_name);
  return option.required ? item : "[" + item + "]";
}

void WriteOptionList(const std::vector<DocumentedOption>& options, bool with_help, std::ostream& out) {
  for (const DocumentedOption& option : options) {
    if (option.help && !with_help) continue;
    out << ".TP\n" << Usage(option) << '\n' << Sentence(option.description) << '\n';
    if (!option.choices.empty()) {
      std::string list;
      for (const std::string& choice : option.choices) list += (list.empty() ? "" : ", ") + Bold(choice);
      out << "One of " << list << ".\n";
    }
    if (option.required && !option.positional) out << "Required.\n";
  }
}

std::string Synopsis(const DocumentedProgram& program) {
  std::ostringstream out;
  if (program.commands.empty()) {
    out << ".B " << RoffEscape(program.name) << '\n';
    for (const DocumentedOption& option : program.options) out << SynopsisItem(option) << '\n';
    return out.str();
  }
  bool first = true;
  for (const DocumentedCommand& command : program.commands) {
    if (!first) out << ".br\n";
    first = false;
    out << ".B " << RoffEscape(program.name) << "\n[\\fIoptions\\fR] " << Bold(command.name);
    for (const DocumentedOption& option : command.options)
      if (!option.help) out << ' ' << SynopsisItem(option);
    out << '\n';
  }
  return out.str();
}

std::string Commands(const DocumentedProgram& program) {
  std::ostringstream out;
  for (const DocumentedCommand& command : program.commands) {
    out << ".SS " << Bold(command.name) << '\n' << Sentence(command.description) << '\n';
    WriteOptionList(command.options, false, out);
  }
  return out.str();
}

void ReplaceAll(std::string& text, const std::string& placeholder, const std::string& value) {
  for (std::size_t at = text.find(placeholder); at != std::string::npos;
       at = text.find(placeholder, at + value.size()))
    text.replace(at, placeholder.size(), value);
}

// A generated part ends with a newline, and the placeholder stands on a line of its own.
std::string WithoutLastNewline(std::string text) {
  if (!text.empty() && text.back() == '\n') text.pop_back();
  return text;
}

}  // namespace

std::string RoffEscape(const std::string& text) {
  std::string escaped;
  for (char c : text) {
    if (c == '\\') escaped += "\\e";
    else if (c == '-') escaped += "\\-";
    else escaped += c;
  }
  if (!escaped.empty() && (escaped.front() == '.' || escaped.front() == '\'')) escaped.insert(0, "\\&");
  return escaped;
}

std::string ManPage(const DocumentedProgram& program, const std::string& page_template,
                    const std::string& version) {
  std::ostringstream options;
  WriteOptionList(program.options, true, options);
  std::string page = page_template;
  ReplaceAll(page, "@SYNOPSIS@", WithoutLastNewline(Synopsis(program)));
  ReplaceAll(page, "@OPTIONS@", WithoutLastNewline(options.str()));
  ReplaceAll(page, "@COMMANDS@", WithoutLastNewline(Commands(program)));
  ReplaceAll(page, "@VERSION@", version);
  return page;
}

}  // namespace pellar::docs
