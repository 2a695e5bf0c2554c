#include "MakeMedium.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>

#include "MediumBuild.h"
#include "MediumCheck.h"
#include "MediumFiles.h"
#include "MediumImage.h"
#include "TextForm.h"
#include "ToolFiles.h"
#include "catalog/ArticleCatalog.h"

namespace fs = std::filesystem;

const char kMakeMediumUsage[] =
    "  make-medium SOURCE SETUP_DIR --label LABEL [-o DIR] [--image FILE]\n"
    "              [--installer FILE] [--force]\n"
    "                                 put the medium together: installer.exe, install.crt\n"
    "                                 packed from SOURCE, autorun.inf and everything in\n"
    "                                 SETUP_DIR, as the folder DIR and/or the ISO image FILE;\n"
    "                                 every article needs its set-up program in SETUP_DIR;\n"
    "                                 dates are SOURCE_DATE_EPOCH (default 2000-01-01)\n";

namespace {

constexpr int kOk = 0;
constexpr int kCheckFailed = 1;
constexpr int kUsage = 2;

// 2000-01-01 00:00:00 UTC, the date of every file when SOURCE_DATE_EPOCH is not set.
constexpr std::int64_t kDefaultSeconds = 946684800;
// xorriso takes volume dates up to the year 2999.
constexpr std::int64_t kLastSeconds = 32503679999;

struct Options {
    std::string source;
    std::string setupFolder;
    std::string label;
    std::string folder;
    std::string image;
    std::string installer;
    bool labelGiven = false;
    bool force = false;
};

// What stops the medium from being built; the worst kind decides the exit code.
class Problems {
  public:
    void Usage(const std::string& text) { Add(text, kUsage); }
    void Check(const std::string& text) { Add(text, kCheckFailed); }
    bool Any() const { return !lines.empty(); }
    int Code() const { return code; }
    void Print(std::ostream& err) const {
        for (const std::string& line : lines) err << "make-medium: " << line << "\n";
    }

  private:
    void Add(const std::string& text, int level) {
        lines.push_back(text);
        if (level > code) code = level;
    }
    std::vector<std::string> lines;
    int code = kOk;
};

bool ParseOptions(const std::vector<std::string>& args, Options& options, std::ostream& err) {
    std::vector<std::string> positional;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == "--force") {
            options.force = true;
        } else if (arg == "-o" && hasValue) {
            options.folder = args[++i];
        } else if (arg == "--image" && hasValue) {
            options.image = args[++i];
        } else if (arg == "--installer" && hasValue) {
            options.installer = args[++i];
        } else if (arg == "--label" && hasValue) {
            options.label = args[++i];
            options.labelGiven = true;
        } else if (!arg.empty() && arg[0] == '-') {
            err << "make-medium: unknown option or missing value: " << arg << "\n";
            return false;
        } else {
            positional.push_back(arg);
        }
    }
    if (positional.size() != 2 || !options.labelGiven ||
        (options.folder.empty() && options.image.empty())) {
        err << "make-medium: usage:\n" << kMakeMediumUsage;
        return false;
    }
    options.source = positional[0];
    options.setupFolder = positional[1];
    return true;
}

// The time every date of the medium gets: SOURCE_DATE_EPOCH when set, else the default.
bool MediumSeconds(std::int64_t& seconds, std::string& error) {
    const char* given = std::getenv("SOURCE_DATE_EPOCH");
    if (given == nullptr || *given == '\0') {
        seconds = kDefaultSeconds;
        return true;
    }
    const std::string text = given;
    seconds = 0;
    for (char c : text) {
        if (c < '0' || c > '9' || seconds > kLastSeconds) {
            error = "SOURCE_DATE_EPOCH=" + text +
                    " is not a count of seconds from 1970 to the end of 2999";
            return false;
        }
        seconds = seconds * 10 + (c - '0');
    }
    if (seconds > kLastSeconds) {
        error = "SOURCE_DATE_EPOCH=" + text + " is past the end of 2999";
        return false;
    }
    return true;
}

bool ReadWhole(const fs::path& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

// Writes install.crt and reads it back: it must hold exactly what the source says.
bool WriteCatalog(const fs::path& path, CatalogStore& store, std::string& error) {
    const std::string name = mediumfiles::ToArgument(path);
    if (!store.Save(name, false)) {
        error = name + ": cannot be written";
        return false;
    }
    CatalogStore check;
    CatalogStore::LoadReport report;
    if (!check.Load(name, &report) || !report.streamComplete ||
        report.streamEnd != report.imageLength ||
        textform::Print(check) != textform::Print(store)) {
        error = name + ": the written catalogue did not read back the same";
        return false;
    }
    return true;
}

// A path of that name that does not exist yet, beside it in its folder.
fs::path Sibling(const fs::path& path, const char* kind) {
    std::random_device random;
    for (;;) {
        fs::path candidate = path;
        candidate += std::string(".") + kind + std::to_string(random() % 100000000);
        std::error_code code;
        if (!fs::exists(candidate, code) && !code) return candidate;
    }
}

fs::path Normal(const std::string& name) {
    fs::path path = mediumfiles::FromArgument(name).lexically_normal();
    if (!path.has_filename() && path.has_parent_path()) path = path.parent_path();
    return path;
}

// An output path may be replaced only with --force, and its folder has to exist.
void CheckOutput(const fs::path& path, bool folder, bool force, Problems& problems) {
    std::error_code code;
    const std::string name = mediumfiles::ToArgument(path);
    if (fs::exists(path, code)) {
        if (!force) {
            problems.Usage(name + ": exists; give --force to replace it");
        } else if (fs::is_directory(path, code) != folder) {
            problems.Usage(name + ": exists and is not a " + (folder ? "folder" : "file"));
        }
    }
    fs::path parent = fs::absolute(path, code).parent_path();
    if (!fs::is_directory(parent, code)) {
        problems.Usage(name + ": its folder " + mediumfiles::ToArgument(parent) +
                       " does not exist");
    }
}

// Moves a finished output into place; an older one is set aside first and removed after.
bool Publish(const fs::path& from, const fs::path& to, std::string& error) {
    std::error_code code;
    fs::path old;
    if (fs::exists(to, code)) {
        old = Sibling(to, "old");
        fs::rename(to, old, code);
        if (code) {
            error = mediumfiles::ToArgument(to) + ": cannot be replaced (" + code.message() + ")";
            return false;
        }
    }
    fs::rename(from, to, code);
    if (code) {
        error = mediumfiles::ToArgument(to) + ": cannot be created (" + code.message() + ")";
        std::error_code ignored;
        if (!old.empty()) fs::rename(old, to, ignored);
        return false;
    }
    if (!old.empty()) fs::remove_all(old, code);
    return true;
}

// Removes what a failed run made.
class Scratch {
  public:
    ~Scratch() {
        std::error_code ignored;
        for (const fs::path& path : paths) fs::remove_all(path, ignored);
    }
    void Keep(const fs::path& path) { paths.push_back(path); }
    void Release(const fs::path& path) {
        for (fs::path& p : paths) {
            if (p == path) p.clear();
        }
    }

  private:
    std::vector<fs::path> paths;
};

std::size_t CountFiles(const std::vector<mediumbuild::Entry>& entries) {
    std::size_t files = 3;
    for (const mediumbuild::Entry& e : entries) files += e.folder ? 0 : 1;
    return files;
}

}  // namespace

int MakeMedium(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    Options options;
    if (!ParseOptions(args, options, err)) return kUsage;
    Problems problems;

    std::int64_t seconds = 0;
    std::string error;
    if (!MediumSeconds(seconds, error)) problems.Usage(error);
    const std::string labelProblem = mediumbuild::LabelProblem(options.label);
    if (!labelProblem.empty()) problems.Usage("--label \"" + options.label + "\" " + labelProblem);

    // The catalogue source.
    CatalogStore store;
    bool catalogRead = false;
    std::string text;
    if (!ReadWhole(mediumfiles::FromArgument(options.source), text) ||
        fs::is_directory(mediumfiles::FromArgument(options.source))) {
        problems.Usage(options.source + ": cannot be read");
    } else if (!textform::Parse(text, options.source, store, error)) {
        problems.Usage(error);
    } else {
        catalogRead = true;
    }

    // The installer: given, or the one beside this program.
    fs::path installer = mediumfiles::FromArgument(options.installer);
    if (options.installer.empty()) installer = mediumfiles::OwnProgramFolder() / "installer.exe";
    std::string head;
    std::error_code code;
    if (!fs::is_regular_file(installer, code) || !ReadWhole(installer, head)) {
        problems.Usage(mediumfiles::ToArgument(installer) + ": cannot be read" +
                       (options.installer.empty() ? " (give --installer FILE)" : ""));
    } else if (head.compare(0, 2, "MZ") != 0) {
        problems.Usage(mediumfiles::ToArgument(installer) + ": is not a Windows program");
    }

    // The set-up programs' folder, and the articles that name a program missing from it.
    const fs::path setupFolder = Normal(options.setupFolder);
    std::vector<mediumbuild::Entry> entries;
    if (!fs::is_directory(setupFolder, code)) {
        problems.Usage(options.setupFolder + ": is not a folder");
    } else {
        std::vector<std::string> listProblems;
        entries = mediumbuild::ListTree(setupFolder, listProblems);
        for (const std::string& p : listProblems) problems.Usage(p);
        for (const std::string& name : mediumbuild::ReservedNameClashes(entries)) {
            problems.Check(options.setupFolder + ": " + name +
                           " would be replaced by the medium's own file of that name");
        }
        const CatalogSection* articles =
            catalogRead ? store.FindSection(ArticleCatalog::ArticleSectionName) : nullptr;
        if (catalogRead && articles == nullptr) {
            problems.Check(options.source + ": no section " +
                           textform::PrintName(ArticleCatalog::ArticleSectionName));
        } else if (articles != nullptr) {
            for (const mediumcheck::Problem& p :
                 mediumcheck::Check(*articles, options.setupFolder, toolfiles::Exists)) {
                problems.Check("article " + textform::PrintName(p.article) + ": " +
                               textform::QuoteText(p.value) +
                               (p.path.empty() ? "" : " -> " + p.path) + ": " + p.reason);
            }
        }
    }

    // The outputs.
    const fs::path folder = options.folder.empty() ? fs::path() : Normal(options.folder);
    const fs::path image = options.image.empty() ? fs::path() : Normal(options.image);
    if (!folder.empty()) {
        CheckOutput(folder, true, options.force, problems);
        const fs::path absoluteFolder = fs::weakly_canonical(folder, code);
        const fs::path absoluteSetup = fs::weakly_canonical(setupFolder, code);
        const auto inside = std::mismatch(absoluteSetup.begin(), absoluteSetup.end(),
                                          absoluteFolder.begin(), absoluteFolder.end());
        if (!absoluteSetup.empty() && inside.first == absoluteSetup.end()) {
            problems.Usage(options.folder + ": lies in the set-up programs' folder");
        }
    }
    if (!image.empty()) CheckOutput(image, false, options.force, problems);

    if (problems.Any()) {
        problems.Print(err);
        err << "make-medium: nothing written\n";
        return problems.Code();
    }

    // Put the medium together beside where it goes, then move it into place whole.
    Scratch scratch;
    const fs::path stage = Sibling(folder.empty() ? image : folder, "tmp");
    scratch.Keep(stage);
    if (!fs::create_directory(stage, code) || code) {
        err << "make-medium: " << mediumfiles::ToArgument(stage) << ": cannot be created ("
            << code.message() << ")\nmake-medium: nothing written\n";
        return kUsage;
    }
    const mediumbuild::Inputs inputs{setupFolder, entries, installer, options.label, seconds};
    const auto writeCatalog = [&store](const fs::path& path, std::string& message) {
        return WriteCatalog(path, store, message);
    };
    if (!mediumbuild::Fill(inputs, stage, writeCatalog, error)) {
        err << "make-medium: " << error << "\nmake-medium: nothing written\n";
        return kUsage;
    }
    fs::path imageStage;
    if (!image.empty()) {
        imageStage = Sibling(image, "tmp");
        scratch.Keep(imageStage);
        if (!mediumimage::Write(mediumfiles::ToArgument(stage), mediumfiles::ToArgument(imageStage),
                                options.label, seconds, error)) {
            err << "make-medium: " << mediumfiles::ToArgument(image) << ": " << error
                << "\nmake-medium: nothing written\n";
            return kUsage;
        }
    }
    if (!folder.empty()) {
        if (!Publish(stage, folder, error)) {
            err << "make-medium: " << error << "\nmake-medium: nothing written\n";
            return kUsage;
        }
        scratch.Release(stage);
    }
    if (!image.empty()) {
        if (!Publish(imageStage, image, error)) {
            err << "make-medium: " << error << "\n";
            if (!folder.empty())
                err << "make-medium: the folder " << options.folder << " was written\n";
            return kUsage;
        }
        scratch.Release(imageStage);
    }

    const std::size_t files = CountFiles(entries);
    if (!folder.empty()) out << options.folder << ": medium folder, " << files << " files\n";
    if (!image.empty()) {
        out << options.image << ": ISO 9660 image with Joliet and Rock Ridge, "
            << fs::file_size(image, code) << " bytes\n";
    }
    return kOk;
}
