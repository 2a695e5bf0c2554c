#include "CatalogCommands.h"

#include <cstdio>
#include <filesystem>

#include "MediumCheck.h"
#include "Options.h"
#include "Temporary.h"
#include "TextForm.h"
#include "ToolFiles.h"
#include "catalog/ArticleCatalog.h"
#include "catalog/CatalogFormat.h"
#include "catalog/DiskFile.h"
#include "protocol/HandoffProtocol.h"

namespace catalogcommands {

namespace {

using Status = ScrambledRecordFile::LoadStatus;

std::string Hex(unsigned value) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", value & 0xFF);
    return text;
}

// The reason a file did not load, and the exit code it earns.
ExitCode DescribeFailure(const std::string& path, const CatalogStore::LoadReport& report,
                         std::ostream& err) {
    const ScrambledRecordFile::Check& c = report.check;
    switch (report.status) {
        case Status::NotOpened:
            err << path << ": cannot be opened (missing, or in use)\n";
            return ExitCode::Usage;
        case Status::ReadError:
            err << path << ": read error\n";
            return ExitCode::Usage;
        case Status::ImageFault:
            err << path << ": too large to hold in memory\n";
            return ExitCode::Usage;
        case Status::HeaderShort:
            err << path << ": header check failed: shorter than " << catalog_format::kHeaderSize
                << " bytes\n";
            return ExitCode::CheckFailed;
        case Status::BadMagic:
            err << path << ": magic check failed: the file does not begin with 1A 1A\n";
            return ExitCode::CheckFailed;
        case Status::BadMarker:
            err << path << ": marker check failed: image byte 0 is not 0x1A\n";
            return ExitCode::CheckFailed;
        case Status::BadSum:
            err << path << ": sum check failed: stored " << Hex(c.storedSum) << ", computed "
                << Hex(c.computedSum) << "\n";
            return ExitCode::CheckFailed;
        case Status::BadOr:
            err << path << ": OR check failed: stored " << Hex(c.storedOr) << ", computed "
                << Hex(c.computedOr) << "\n";
            return ExitCode::CheckFailed;
        case Status::Loaded:
        case Status::Created:
            break;
    }
    return ExitCode::Ok;
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
        out << "record stream: complete, " << report.imageLength - catalog_format::kPrefixSize
            << " bytes\n";
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

}  // namespace

ExitCode Pack(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    Options options;
    std::string error;
    if (!options.Parse(args, {{"-o", true}, {"--force", false}}, error)) {
        err << "pack: " << error << "\n";
        return ExitCode::Usage;
    }
    if (options.Positional().size() != 1 || options.Value("-o").empty()) {
        err << "pack: usage: catalog-tool pack SOURCE -o FILE [--force]\n";
        return ExitCode::Usage;
    }
    const std::string& source = options.Positional()[0];
    const std::string target = options.Value("-o");
    const bool force = options.Has("--force");
    std::string text;
    if (!ReadSource(source, text, err)) return ExitCode::Usage;
    CatalogStore store;
    if (!textform::Parse(text, source, store, error)) {
        err << error << "\n";
        return ExitCode::CheckFailed;
    }
    if (!force && toolfiles::Exists(target)) {
        err << target << ": exists; give --force to replace it\n";
        return ExitCode::Usage;
    }
    const auto write = [&store](const std::filesystem::path& temporary, std::string& message) {
        const std::string name = toolfiles::ToArgument(temporary);
        CatalogStore check;
        CatalogStore::LoadReport report;
        if (!store.Save(name, true)) {
            message = "cannot write a temporary file in its folder";
            return false;
        }
        if (!check.Load(name, &report) || !StreamClean(report) ||
            textform::Print(check) != textform::Print(store)) {
            message = "the written catalogue did not read back the same";
            return false;
        }
        return true;
    };
    if (!toolfiles::ReplaceAtomically(toolfiles::FromArgument(target), force, write, error)) {
        err << (error.compare(0, target.size(), target) == 0 ? "" : target + ": ") << error << "\n";
        return ExitCode::Usage;
    }
    out << target << ": " << store.Sections().size() << " sections, " << EntryCount(store)
        << " entries\n";
    return ExitCode::Ok;
}

namespace {

bool OneFileArgument(const std::vector<std::string>& args, const char* command, const char* usage,
                     std::ostream& err) {
    Options options;
    std::string error;
    if (!options.Parse(args, {}, error) || options.Positional().size() != 1) {
        err << command << ": " << (error.empty() ? "" : error + "; ") << "usage: catalog-tool "
            << usage << "\n";
        return false;
    }
    return true;
}

}  // namespace

ExitCode Dump(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (!OneFileArgument(args, "dump", "dump FILE", err)) return ExitCode::Usage;
    CatalogStore store;
    CatalogStore::LoadReport report;
    if (!store.Load(args[0], &report)) {
        return DescribeFailure(args[0], report, err);
    }
    out << textform::Print(store);
    if (!StreamClean(report)) {
        err << args[0] << ": ";
        DescribeStream(report, err);
        return ExitCode::CheckFailed;
    }
    return ExitCode::Ok;
}

ExitCode Verify(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (!OneFileArgument(args, "verify", "verify FILE", err)) return ExitCode::Usage;
    const std::string& path = args[0];
    CatalogStore store;
    CatalogStore::LoadReport report;
    if (!store.Load(path, &report)) {
        const ExitCode code = DescribeFailure(path, report, err);
        out << path << ": " << (code == ExitCode::CheckFailed ? "verification failed" : "not read")
            << "\n";
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
        return ExitCode::CheckFailed;
    }
    out << "verify: ok\n";
    return ExitCode::Ok;
}

ExitCode CheckMedium(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (!OneFileArgument(args, "check-medium", "check-medium DIR", err)) return ExitCode::Usage;
    const std::string& root = args[0];
    const std::string path = mediumcheck::JoinMediumPath(root, catalogFileName);
    CatalogStore store;
    CatalogStore::LoadReport report;
    if (!store.Load(path, &report)) {
        return DescribeFailure(path, report, err);
    }
    ExitCode code = ExitCode::Ok;
    if (!StreamClean(report)) {
        err << path << ": ";
        DescribeStream(report, err);
        code = ExitCode::CheckFailed;
    }
    const CatalogSection* articles = store.FindSection(ArticleCatalog::ArticleSectionName);
    const std::string sectionName = textform::PrintName(ArticleCatalog::ArticleSectionName);
    if (!articles) {
        err << path << ": no section " << sectionName << "\n";
        return ExitCode::CheckFailed;
    }
    const auto problems = mediumcheck::Check(*articles, root, toolfiles::Exists);
    for (const mediumcheck::Problem& p : problems) {
        out << textform::PrintName(p.article) << ": " << textform::QuoteText(p.value);
        if (!p.path.empty()) out << " -> " << p.path;
        out << ": " << p.reason << "\n";
    }
    out << articles->Size() << " articles in " << sectionName << ", " << problems.size()
        << " without their set-up program\n";
    return problems.empty() ? code : ExitCode::CheckFailed;
}

}  // namespace catalogcommands
