#include "command_line.h"

#include <cerrno>
#include <cstdlib>

namespace vorlith::runner {

const char* UsageText() {
  return "usage: framehost [options] INPUT [NAME=VALUE ...]\n"
         "Runs a filter plugin (by default Vorlith from the VorlithSSE plugin) over every\n"
         "frame of a YUV4MPEG2 clip, in order. INPUT is a .y4m file or - for standard input.\n"
         "NAME=VALUE arguments go to the script function by name, e.g. th=40 show=true.\n"
         "\n"
         "options:\n"
         "  -o OUT           write the returned frames as y4m to OUT (- for standard output)\n"
         "  --plugin PATH    the plugin library to load (default: VorlithSSE beside framehost)\n"
         "  --function NAME  the script function to call (default: Vorlith)\n"
         "  --cpu-flags N    pretend the processor has these CPUF_* flags (e.g. 0 to see a\n"
         "                   plugin refuse a processor without integer SSE, flag 0x8)\n"
         "  --quiet          show neither progress nor the summary\n"
         "  -h, --help       show this text\n";
}

CommandLine ParseCommandLine(const std::vector<std::string>& words) {
  CommandLine line;
  bool have_input = false;
  bool options_done = false;
  const auto value_of = [&](std::size_t& i) -> const std::string& {
    if (i + 1 >= words.size()) throw UsageError(words[i] + " needs a value");
    return words[++i];
  };
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::string& word = words[i];
    if (!options_done && word.size() > 1 && word[0] == '-') {
      if (word == "--") {
        options_done = true;
      } else if (word == "-o") {
        line.output = value_of(i);
      } else if (word == "--plugin") {
        line.plugin = value_of(i);
      } else if (word == "--function") {
        line.function = value_of(i);
      } else if (word == "--cpu-flags") {
        const std::string& flags = value_of(i);
        char* end = nullptr;
        errno = 0;
        const long parsed = std::strtol(flags.c_str(), &end, 0);
        if (flags.empty() || *end != '\0' || errno == ERANGE || parsed < 0) {
          throw UsageError("--cpu-flags needs a flag word such as 0x8, not " + flags);
        }
        line.cpu_flags = parsed;
      } else if (word == "--quiet") {
        line.quiet = true;
      } else if (word == "-h" || word == "--help") {
        line.help = true;
      } else {
        throw UsageError("unknown option " + word);
      }
      continue;
    }
    const std::size_t equals = word.find('=');
    if (have_input && equals != std::string::npos) {
      if (equals == 0) throw UsageError("argument " + word + " has no name");
      line.arguments.push_back({word.substr(0, equals), word.substr(equals + 1)});
    } else if (!have_input) {
      line.input = word;
      have_input = true;
    } else {
      throw UsageError("unexpected " + word + " (script arguments are NAME=VALUE)");
    }
  }
  if (!have_input && !line.help) throw UsageError("no INPUT given");
  return line;
}

}  // namespace vorlith::runner
