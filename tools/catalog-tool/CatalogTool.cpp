#include "CatalogTool.h"

#include "CatalogCommands.h"
#include "MakeMediumCommand.h"

namespace {

const char kUsageHead[] =
    "usage: catalog-tool COMMAND ...\n"
    "\n"
    "  pack SOURCE -o FILE [--force]  write the catalogue text SOURCE (UTF-8) to FILE;\n"
    "                                 an existing FILE is replaced only with --force\n"
    "  dump FILE                      print the catalogue FILE as text\n"
    "  verify FILE                    check header, marker, sum, OR and record stream\n"
    "  check-medium DIR               check that every article of DIR/install.crt names\n"
    "                                 a set-up program present on the medium DIR\n";
const char kUsageTail[] =
    "  --help                         show this text\n"
    "\n"
    "exit codes: 0 ok, 1 a check failed, 2 usage error or unreadable/unwritable file\n";

std::string UsageText() {
    return std::string(kUsageHead) + kMakeMediumUsage + kUsageTail;
}

using Command = int (*)(const std::vector<std::string>&, std::ostream&, std::ostream&);

template <ExitCode (*run)(const std::vector<std::string>&, std::ostream&, std::ostream&)>
int Coded(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    return ToInt(run(args, out, err));
}

struct Entry {
    const char* name;
    Command run;
};

const Entry kCommands[] = {
    {"pack", Coded<catalogcommands::Pack>},
    {"dump", Coded<catalogcommands::Dump>},
    {"verify", Coded<catalogcommands::Verify>},
    {"check-medium", Coded<catalogcommands::CheckMedium>},
    {"make-medium", MakeMediumCommand},
};

}  // namespace

int RunCatalogTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.empty()) {
        err << UsageText();
        return ToInt(ExitCode::Usage);
    }
    const std::string& command = args[0];
    if (command == "--help" || command == "-h" || command == "help") {
        out << UsageText();
        return ToInt(ExitCode::Ok);
    }
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    for (const Entry& entry : kCommands) {
        if (command == entry.name) return entry.run(rest, out, err);
    }
    err << "unknown command " << command << "\n" << UsageText();
    return ToInt(ExitCode::Usage);
}
