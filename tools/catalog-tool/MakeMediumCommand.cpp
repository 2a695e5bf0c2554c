#include "MakeMediumCommand.h"

#include "MakeMedium.h"
#include "Options.h"

const char kMakeMediumUsage[] =
    "  make-medium SOURCE SETUP_DIR --label LABEL [-o DIR] [--image FILE]\n"
    "              [--installer FILE] [--force]\n"
    "                                 put the medium together: installer.exe, install.crt\n"
    "                                 packed from SOURCE, autorun.inf and everything in\n"
    "                                 SETUP_DIR, as the folder DIR and/or the ISO image FILE;\n"
    "                                 every article needs its set-up program in SETUP_DIR;\n"
    "                                 --force replaces only a medium make-medium made;\n"
    "                                 dates are SOURCE_DATE_EPOCH (default 2000-01-01)\n";

int MakeMediumCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    Options options;
    std::string error;
    if (!options.Parse(args,
                       {{"-o", true},
                        {"--image", true},
                        {"--installer", true},
                        {"--label", true},
                        {"--force", false}},
                       error)) {
        err << "make-medium: " << error << "\n";
        return ToInt(ExitCode::Usage);
    }
    for (const char* name : {"-o", "--image", "--installer"}) {
        if (options.Has(name) && options.Value(name).empty()) {
            err << "make-medium: " << name << " needs a path, not an empty text\n";
            return ToInt(ExitCode::Usage);
        }
    }
    if (options.Positional().size() != 2 || !options.Has("--label") ||
        (!options.Has("-o") && !options.Has("--image"))) {
        err << "make-medium: usage:\n" << kMakeMediumUsage;
        return ToInt(ExitCode::Usage);
    }
    makemedium::Request request;
    request.source = options.Positional()[0];
    request.setupFolder = options.Positional()[1];
    request.label = options.Value("--label");
    request.folder = options.Value("-o");
    request.image = options.Value("--image");
    request.installer = options.Value("--installer");
    request.force = options.Has("--force");
    int signal = 0;
    const ExitCode code = makemedium::Make(request, out, err, signal);
    return signal != 0 ? 128 + signal : ToInt(code);
}
