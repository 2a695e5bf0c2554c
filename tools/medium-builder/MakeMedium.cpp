#include "MakeMedium.h"

#include <algorithm>
#include <iterator>

#include "Interruption.h"
#include "MediumImage.h"
#include "MediumPlan.h"
#include "MediumStage.h"
#include "OutputCheck.h"
#include "Publication.h"
#include "Temporary.h"
#include "TextForm.h"
#include "ToolFiles.h"

namespace makemedium {

namespace fs = std::filesystem;

namespace {

using toolfiles::ToArgument;

// The image's name in the folder that holds the medium's own files while it is built.
const char kImageName[] = "medium.iso";
const char kTreeName[] = "medium";

// The capacity of a single-layer DVD.
constexpr std::uintmax_t kSingleLayerDvd = 4700372992;

// Writes install.crt and reads it back: it must hold exactly what the source says.
bool WriteCatalog(const fs::path& path, CatalogStore& store, std::string& error) {
    const std::string name = ToArgument(path);
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

// The paths of the medium as the image's Joliet tree must show them.
std::vector<std::string> ExpectedPaths(const mediumplan::Plan& plan) {
    std::vector<std::string> paths = {mediumstage::kAutorunName, mediumstage::kCatalogName,
                                      mediumstage::kInstallerName};
    for (const setuptree::Entry& entry : plan.entries)
        paths.push_back(entry.relative.generic_u8string());
    std::sort(paths.begin(), paths.end());
    return paths;
}

// Every difference between the names the folder gives and those the Joliet tree shows.
bool CompareJoliet(const mediumplan::Plan& plan, const fs::path& image, std::string& error) {
    std::vector<std::string> shown;
    if (!mediumimage::ReadJolietPaths(ToArgument(image), shown, error)) return false;
    std::sort(shown.begin(), shown.end());
    const std::vector<std::string> given = ExpectedPaths(plan);
    std::vector<std::string> lost;
    std::vector<std::string> added;
    std::set_difference(given.begin(), given.end(), shown.begin(), shown.end(),
                        std::back_inserter(lost));
    std::set_difference(shown.begin(), shown.end(), given.begin(), given.end(),
                        std::back_inserter(added));
    error.clear();
    for (const std::string& p : lost)
        error += (error.empty() ? "" : "\n") + p + ": not in the image's Joliet tree as given";
    for (const std::string& p : added)
        error +=
            (error.empty() ? "" : "\n") + p + ": in the image's Joliet tree, not in the folder";
    if (!error.empty()) error = "Windows would not see the names as given:\n" + error;
    return error.empty();
}

// Finishes or undoes the commit of a stopped run beside the outputs and removes its temporaries,
// before the outputs are checked, so that they are checked as that run's commit left them.
void RemoveLeftovers(const Request& request, std::ostream& out) {
    for (const std::string& given : {request.folder, request.image}) {
        if (given.empty()) continue;
        std::vector<std::string> notes;
        for (const fs::path& left : toolfiles::SweepStoppedRuns(mediumplan::Normal(given), notes))
            out << "make-medium: removed " << ToArgument(left) << ", left by a stopped run\n";
        for (const std::string& note : notes) out << "make-medium: " << note << "\n";
    }
}

class Build {
  public:
    Build(mediumplan::Plan& plan, std::ostream& out) : plan(plan), out(out) {
        inputs.entries = plan.entries;
        inputs.installer = plan.installer;
        inputs.label = plan.label;
        inputs.seconds = plan.seconds;
        inputs.writeCatalog = [&plan](const fs::path& path, std::string& error) {
            return WriteCatalog(path, plan.store, error);
        };
    }

    bool StageFolder(std::string& error) {
        if (plan.folder.empty()) return true;
        toolfiles::Temporary stage;
        std::vector<std::string> linked;
        if (!toolfiles::Temporary::MakeBeside(plan.folder, true, stage, error) ||
            !mediumstage::Fill(inputs, stage.Path(), false, linked, error)) {
            return false;
        }
        folderStage = stage.Path();
        publication.Add(std::move(stage), folderStage, plan.folder,
                        Replaceable(outputcheck::IsOwnMediumFolder));
        return true;
    }

    bool StageImage(std::string& error) {
        if (plan.image.empty()) return true;
        // xorriso makes the image itself, in the run's own folder beside its place, from the
        // medium folder just staged or else from a tree of its own there.
        toolfiles::Temporary work;
        if (!toolfiles::Temporary::MakeBeside(plan.image, true, work, error)) return false;
        mediumimage::Source source{ToArgument(folderStage), {}, plan.label, plan.seconds};
        if (folderStage.empty()) {
            const fs::path tree = work.Path() / kTreeName;
            std::error_code code;
            if (!fs::create_directory(tree, code) ||
                !mediumstage::Fill(inputs, tree, true, source.linked, error)) {
                if (error.empty()) error = ToArgument(tree) + ": cannot be created";
                return false;
            }
            source.tree = ToArgument(tree);
        }
        const fs::path image = work.Path() / kImageName;
        if (!mediumimage::Write(source, ToArgument(image), error)) {
            error = ToArgument(plan.image) + ": " + error + DiskFullNote(plan.image);
            return false;
        }
        if (!CompareJoliet(plan, image, error)) {
            error = ToArgument(plan.image) + ": " + error;
            failure = ExitCode::CheckFailed;
            return false;
        }
        std::error_code code;
        imageBytes = fs::file_size(image, code);
        publication.Add(std::move(work), image, plan.image, Replaceable(outputcheck::IsOwnImage));
        return true;
    }

    bool Publish(std::string& error) {
        if (interruption::Signal() != 0) {
            error = "interrupted";
            return false;
        }
        return publication.Commit(error);
    }

    ExitCode Failure() const { return failure; }

    void Report(const Request& request) {
        std::size_t files = 3;
        for (const setuptree::Entry& e : plan.entries) files += e.folder ? 0 : 1;
        if (!plan.folder.empty())
            out << request.folder << ": medium folder, " << files << " files\n";
        if (plan.image.empty()) return;
        out << request.image << ": ISO 9660 image with Joliet and Rock Ridge, " << imageBytes
            << " bytes\n";
        if (imageBytes > kSingleLayerDvd) {
            out << "make-medium: warning: " << request.image << " is larger than a single-layer "
                << "DVD (" << kSingleLayerDvd << " bytes)\n";
        }
    }

  private:
    toolfiles::Publication::Replaceable Replaceable(bool (*own)(const fs::path&)) const {
        return plan.force ? toolfiles::Publication::Replaceable(own) : nullptr;
    }

    static std::string DiskFullNote(const fs::path& target) {
        std::error_code code;
        const std::int64_t free = toolfiles::FreeBytes(fs::absolute(target, code).parent_path());
        return free >= 0 && free < (1 << 20) ? " (the disk is full)" : "";
    }

    mediumplan::Plan& plan;
    std::ostream& out;
    mediumstage::Inputs inputs;
    toolfiles::Publication publication;
    fs::path folderStage;  // the medium folder built, until it is moved into place
    std::uintmax_t imageBytes = 0;
    ExitCode failure = ExitCode::Usage;
};

}  // namespace

ExitCode Make(const Request& request, std::ostream& out, std::ostream& err, int& interruptedBy) {
    interruptedBy = 0;
    interruption::Guard guard;
    RemoveLeftovers(request, out);
    mediumplan::Plan plan;
    Problems problems;
    mediumplan::Validate(request, plan, problems);
    if (problems.Any()) {
        problems.Print(err);
        err << "make-medium: nothing written\n";
        return problems.Code();
    }
    Build build(plan, out);
    std::string error;
    if (!build.StageFolder(error) || !build.StageImage(error) || !build.Publish(error)) {
        interruptedBy = interruption::Signal();
        err << "make-medium: " << error << "\nmake-medium: nothing written\n";
        return build.Failure();
    }
    build.Report(request);
    return ExitCode::Ok;
}

}  // namespace makemedium
