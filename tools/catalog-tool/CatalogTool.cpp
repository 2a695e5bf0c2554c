#include "CatalogTool.h"

#include <cstdio>
#include <random>
#include <sstream>

#include "util/Cp1251.h"
#include "MakeMedium.h"
#include "MediumCheck.h"
#include "TextForm.h"
#include "ToolFiles.h"
#include "catalog/ArticleCatalog.h"
#include "catalog/DiskFile.h"
#include "handoff/HandoffNames.h"

namespace {

using Status = ScrambledRecordFile::LoadStatus;

constexpr int kOk = 0;
constexpr int kCheckFailed = 1;
constexpr int kUsage = 2;

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

std::string Hex(unsigned value) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", value & 0xFF);
    return text;
}

// The reason a file did not load, and the exit code it earns.
int DescribeFailure(const std::string& path, const CatalogStore::LoadReport& report,
                    std::ostream& err) {
    const ScrambledRecordFile::Check& c = report.check;
    switch (report.status) {
        case Status::NotOpened:
            err << path << ": cannot be opened (missing, or in use)\n";
            return kUsage;
        case Status::ReadError:
            err << path << ": read error\n";
            return kUsage;
        case Status::ImageFault:
            err << path << ": too large to hold in memory\n";
            return kUsage;
        case Status::HeaderShort:
            err << path << ": header check failed: shorter than 16 bytes\n";
            return kCheckFailed;
        case Status::BadMagic:
            err << path << ": magic check failed: the file does not begin with 1A 1A\n";
            return kCheckFailed;
        case Status::BadMarker:
            err << path << ": marker check failed: image byte 0 is not 0x1A\n";
            return kCheckFailed;
        case Status::BadSum:
            err << path << ": sum check failed: stored " << Hex(c.storedSum) << ", computed "
                << Hex(c.computedSum) << "\n";
            return kCheckFailed;
        case Status::BadOr:
            err << path << ": OR check failed: stored " << Hex(c.storedOr) << ", computed "
                << Hex(c.computedOr) << "\n";
            return kCheckFailed;
        case Status::Loaded:
        case Status::Created:
            break;
    }
    return kOk;
}

std::size_t EntryCount(const CatalogStore& store) {
    std::size_t total = 0;
    for (const auto& section : store.Sections()) total += section.second.Size();
    return total;
}

bool StreamClean(const CatalogStore::LoadReport& report) {
    return report.streamComplete && report.streamEnd == report.imageLength;
}

void DescribeStream(const CatalogStore::LoadReport& report, std::ostream& out) {
    if (!report.streamComplete) {
        out << "record stream: breaks off at image byte " << report.streamEnd << " of "
            << report.imageLength << " after " << report.entriesRead
            << " entries; later records are lost\n";
    } else if (report.streamEnd != report.imageLength) {
        out << "record stream: " << report.imageLength - report.streamEnd
            << " bytes follow the last record\n";
    } else {
        out << "record stream: complete, " << report.imageLength - 4 << " bytes\n";
    }
}

// The whole source text; a directory or a read error is reported, never taken as empty.
bool ReadSource(const std::string& path, std::string& text, std::ostream& err) {
    DiskFile file = DiskFile::OpenForReading(path);
    if (!file.IsOpen()) {
        err << path << ": cannot be read\n";
        return false;
    }
    char chunk[4096];
    for (;;) {
        const std::int64_t n = file.Read(chunk, sizeof chunk);
        if (n == DiskFile::kReadError) {
            err << path << ": read error (is it a folder?)\n";
            return false;
        }
        if (n == 0) {
            return true;
        }
        text.append(chunk, static_cast<std::size_t>(n));
    }
}

int Pack(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::string source;
    std::string target;
    bool force = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--force") {
            force = true;
        } else if (args[i] == "-o" && i + 1 < args.size()) {
            target = args[++i];
        } else if (!args[i].empty() && args[i][0] == '-') {
            err << "pack: unknown option " << args[i] << "\n";
            return kUsage;
        } else if (source.empty()) {
            source = args[i];
        } else {
            err << "pack: more than one SOURCE\n";
            return kUsage;
        }
    }
    if (source.empty() || target.empty()) {
        err << "pack: usage: catalog-tool pack SOURCE -o FILE [--force]\n";
        return kUsage;
    }
    std::string text;
    if (!ReadSource(source, text, err)) {
        return kUsage;
    }
    CatalogStore store;
    std::string error;
    if (!textform::Parse(text, source, store, error)) {
        err << error << "\n";
        return kUsage;
    }
    if (!force && toolfiles::Exists(target)) {
        err << target << ": exists; give --force to replace it\n";
        return kUsage;
    }
    // Write beside the target, read it back, and only then move it into place, so a failure
    // never leaves a damaged catalogue behind.
    std::random_device random;
    std::string temporary;
    bool saved = false;
    for (int attempt = 0; attempt < 8 && !saved; ++attempt) {
        temporary = target + ".tmp" + std::to_string(random() % 1000000);
        saved = store.Save(temporary, false);
    }
    if (!saved) {
        err << target << ": cannot write a temporary file in its folder\n";
        return kUsage;
    }
    CatalogStore check;
    CatalogStore::LoadReport report;
    if (!check.Load(temporary, &report) || !StreamClean(report) ||
        textform::Print(check) != textform::Print(store)) {
        toolfiles::Remove(temporary);
        err << target << ": the written catalogue did not read back the same\n";
        return kUsage;
    }
    if (!toolfiles::MoveIntoPlace(temporary, target, force)) {
        toolfiles::Remove(temporary);
        err << target << ": cannot be " << (force ? "replaced" : "created (it may exist now)")
            << "\n";
        return kUsage;
    }
    out << target << ": " << store.Sections().size() << " sections, " << EntryCount(store)
        << " entries\n";
    return kOk;
}

bool OneFileArgument(const std::vector<std::string>& args, const char* usage, std::ostream& err) {
    if (args.size() != 2) {
        err << args[0] << ": usage: catalog-tool " << usage << "\n";
        return false;
    }
    return true;
}

int Dump(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (!OneFileArgument(args, "dump FILE", err)) return kUsage;
    CatalogStore store;
    CatalogStore::LoadReport report;
    if (!store.Load(args[1], &report)) {
        return DescribeFailure(args[1], report, err);
    }
    out << textform::Print(store);
    if (!StreamClean(report)) {
        err << args[1] << ": ";
        DescribeStream(report, err);
        return kCheckFailed;
    }
    return kOk;
}

int Verify(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (!OneFileArgument(args, "verify FILE", err)) return kUsage;
    const std::string& path = args[1];
    CatalogStore store;
    CatalogStore::LoadReport report;
    if (!store.Load(path, &report)) {
        const int code = DescribeFailure(path, report, err);
        out << path << ": " << (code == kCheckFailed ? "verification failed" : "not read") << "\n";
        return code;
    }
    const ScrambledRecordFile::Check& c = report.check;
    out << path << "\n"
        << "header: ok (magic 1A 1A, multiplier " << report.multiplier << ", increment "
        << report.increment << ", seed " << report.seed << ")\n"
        << "marker: ok\n"
        << "sum: ok (" << Hex(c.computedSum) << ")\n"
        << "OR: ok (" << Hex(c.computedOr) << ")\n";
    DescribeStream(report, out);
    out << "sections: " << store.Sections().size() << "\n";
    for (const auto& [name, section] : store.Sections()) {
        out << "  " << textform::PrintName(name) << ": " << section.Size() << " entries\n";
    }
    if (!StreamClean(report)) {
        out << "verify: failed (record stream)\n";
        return kCheckFailed;
    }
    out << "verify: ok\n";
    return kOk;
}

int CheckMedium(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (!OneFileArgument(args, "check-medium DIR", err)) return kUsage;
    const std::string& root = args[1];
    const std::string path = toolfiles::JoinMediumPath(root, catalogFileName);
    CatalogStore store;
    CatalogStore::LoadReport report;
    if (!store.Load(path, &report)) {
        return DescribeFailure(path, report, err);
    }
    int code = kOk;
    if (!StreamClean(report)) {
        err << path << ": ";
        DescribeStream(report, err);
        code = kCheckFailed;
    }
    const CatalogSection* articles = store.FindSection(ArticleCatalog::ArticleSectionName);
    const std::string sectionName = textform::PrintName(ArticleCatalog::ArticleSectionName);
    if (!articles) {
        err << path << ": no section " << sectionName << "\n";
        return kCheckFailed;
    }
    const auto problems = mediumcheck::Check(*articles, root, toolfiles::Exists);
    for (const mediumcheck::Problem& p : problems) {
        out << textform::PrintName(p.article) << ": " << textform::QuoteText(p.value);
        if (!p.path.empty()) out << " -> " << p.path;
        out << ": " << p.reason << "\n";
    }
    out << articles->Size() << " articles in " << sectionName << ", " << problems.size()
        << " without their set-up program\n";
    return problems.empty() ? code : kCheckFailed;
}

}  // namespace

int RunCatalogTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.empty()) {
        err << UsageText();
        return kUsage;
    }
    const std::string& command = args[0];
    if (command == "--help" || command == "-h" || command == "help") {
        out << UsageText();
        return kOk;
    }
    if (command == "pack") return Pack(args, out, err);
    if (command == "dump") return Dump(args, out, err);
    if (command == "verify") return Verify(args, out, err);
    if (command == "check-medium") return CheckMedium(args, out, err);
    if (command == "make-medium") return MakeMedium(args, out, err);
    err << "unknown command " << command << "\n" << UsageText();
    return kUsage;
}
