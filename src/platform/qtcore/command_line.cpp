#include "platform/command_line.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QStringList>

namespace hw {
namespace {

QString Text(const std::string& text) {
  return QString::fromStdString(text);
}

bool LooksLikeNumber(const QString& argument) {
  return argument.size() >= 2 && argument[0] == u'-' &&
         (argument[1].isDigit() || argument[1] == u'.');
}

// Qt names the executable in the usage line as the process was started (or "<executable_name>"
// without an application object); the command's own name belongs there.
QString HelpText(const QCommandLineParser& parser, const CommandLineSyntax& syntax) {
  QString help = parser.helpText();
  const QString usage = QStringLiteral("Usage: ");
  const qsizetype end = help.indexOf(QLatin1Char(' '), usage.size());
  if (help.startsWith(usage) && end > 0) {
    help.replace(usage.size(), end - usage.size(), Text(syntax.program));
  }
  return help;
}

}  // namespace

ParsedCommandLine ParseCommandLine(const CommandLineSyntax& syntax,
                                   const std::vector<std::string>& arguments) {
  QCommandLineParser parser;
  parser.setApplicationDescription(Text(syntax.description));
  const QCommandLineOption help = parser.addHelpOption();
  const QCommandLineOption version = parser.addVersionOption();
  for (const CommandLineSyntax::Option& option : syntax.options) {
    parser.addOption(
        QCommandLineOption(Text(option.name), Text(option.description), Text(option.valueName)));
  }
  if (!syntax.arguments.empty()) {
    parser.addPositionalArgument(Text(syntax.arguments), Text(syntax.argumentsDescription),
                                 Text(syntax.arguments));
  }

  // The first entry stands for the program; QCommandLineParser skips it.
  QStringList list{Text(syntax.program)};
  bool valueNext = false;
  for (const std::string& argument : arguments) {
    const QString text = Text(argument);
    if (!valueNext && LooksLikeNumber(text) && !list.contains(QStringLiteral("--"))) {
      list << QStringLiteral("--");
    }
    valueNext = false;
    for (const CommandLineSyntax::Option& option : syntax.options) {
      if (!option.valueName.empty() && text == QStringLiteral("--") + Text(option.name)) {
        valueNext = true;
      }
    }
    list << text;
  }

  ParsedCommandLine result;
  const QString helpText = HelpText(parser, syntax);
  const auto usageError = [&](const QString& what) {
    result.text =
        (Text(syntax.program) + QStringLiteral(": ") + what + u'\n' +
         helpText.left(helpText.indexOf(u'\n') + 1) +
         QStringLiteral("Try '%1 --help' for more information.\n").arg(Text(syntax.program)))
            .toStdString();
    return result;
  };
  if (!parser.parse(list)) return usageError(parser.errorText());
  if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
    result.outcome = ParsedCommandLine::Outcome::kHelp;
    result.text = helpText.toStdString();
    return result;
  }
  if (parser.isSet(version)) {
    const std::string name = syntax.program.substr(0, syntax.program.find(' '));
    result.outcome = ParsedCommandLine::Outcome::kVersion;
    result.text = name + " " + syntax.version + "\n";
    return result;
  }
  const QStringList positional = parser.positionalArguments();
  const auto count = static_cast<int>(positional.size());
  if (count < syntax.minArguments) return usageError(QStringLiteral("missing arguments"));
  if (syntax.maxArguments >= 0 && count > syntax.maxArguments) {
    return usageError(QStringLiteral("too many arguments"));
  }
  for (const CommandLineSyntax::Option& option : syntax.options) {
    if (parser.isSet(Text(option.name))) {
      result.values[option.name] = parser.value(Text(option.name)).toStdString();
    }
  }
  for (const QString& argument : positional) {
    result.arguments.push_back(argument.toStdString());
  }
  result.outcome = ParsedCommandLine::Outcome::kRun;
  return result;
}

}  // namespace hw
