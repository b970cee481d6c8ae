// build MANIFEST OUTDIR: a complete package from a plain manifest, refused
// whole, before anything is written, when the applier would refuse any part
// of it or read it otherwise.
#include <memory>

#include "tools/tlvkit/command.h"
#include "tools/tlvkit/description_round_trip.h"
#include "tools/tlvkit/file_io.h"
#include "tools/tlvkit/key_rules.h"
#include "tools/tlvkit/manifest.h"
#include "tools/tlvkit/package_plan.h"
#include "tools/tlvkit/package_writer.h"
#include "tools/tlvkit/tlvkit.h"

namespace fs = std::filesystem;

namespace tlvkit {

namespace {

struct BuildOptions {
    std::string manifest;
    std::string outDir;
    std::string applier;
    bool replace = false;
};

// An existing output folder is replaced only when asked, and only when it
// holds a package (or nothing), so that a mistyped path cannot wipe a folder.
std::string outDirProblem(const fs::path& outDir, bool replace) {
    std::error_code error;
    if (!fs::exists(outDir, error)) return "";
    if (!fs::is_directory(outDir, error)) return textOf(outDir) + " exists and is not a folder";
    if (fs::is_empty(outDir, error)) return "";
    if (!replace) return textOf(outDir) + " is not empty: give --replace to replace the package in it";
    if (!fs::exists(outDir / DESCRIPTION_FILE_NAME, error)) {
        return textOf(outDir) + " holds no " + DESCRIPTION_FILE_NAME + ": --replace replaces only a package folder";
    }
    return "";
}

int runBuild(const BuildOptions& options, const Io& io) {
    const fs::path manifestPath = pathOf(options.manifest);
    const std::optional<std::string> text = readFileBytes(manifestPath);
    if (!text) {
        reportError(io, "build", "cannot read the manifest " + options.manifest);
        return EXIT_FAILED;
    }
    std::vector<ManifestError> syntaxErrors;
    const Manifest manifest = parseManifest(options.manifest, *text, syntaxErrors);
    std::vector<std::string> errors;
    for (const ManifestError& error : syntaxErrors) {
        errors.push_back(options.manifest + ":" + std::to_string(error.line) + ": " + error.message);
    }
    const fs::path manifestDir = fs::absolute(manifestPath).parent_path();
    std::optional<PackagePlan> plan = planPackage(manifest, manifestDir, options.applier, errors);
    const fs::path outDir = pathOf(options.outDir);
    const std::string outProblem = outDirProblem(outDir, options.replace);
    if (!outProblem.empty()) errors.push_back(outProblem);
    if (plan && errors.empty()) {
        for (const std::string& problem : roundTripProblems(*plan)) errors.push_back(options.manifest + ": " + problem);
    }
    if (!errors.empty() || !plan) {
        for (const std::string& error : errors) reportError(io, "build", error);
        reportError(io, "build", "nothing written (" + std::to_string(errors.size()) + " problem(s))");
        return EXIT_FAILED;
    }

    writePackage(*plan, outDir);
    io.out << "Built " << textOf(outDir) << ": " << DESCRIPTION_FILE_NAME << " (" << plan->expected.files.size()
           << " file(s), " << plan->expected.registries.size() << " registry value(s)), " << APPLIER_FILE_NAME;
    for (const std::string& platform : plan->platforms) io.out << ", SET\\" << platform;
    io.out << "\n";
    return EXIT_OK;
}

}  // namespace

void addBuildCommand(CLI::App& app, const Io& io, int& exitCode) {
    auto options = std::make_shared<BuildOptions>();
    CLI::App* command = app.add_subcommand(
        "build", "Make a complete package (tlvIni.ini, SET\\<platform>\\..., tlvpatch.exe) from a manifest.");
    command->add_option("MANIFEST", options->manifest, "the manifest (see README, \"Making a patch\")")->required();
    command->add_option("OUTDIR", options->outDir, "the package folder to create")->required();
    command->add_option("--applier", options->applier,
                        "the tlvpatch.exe to copy into the package (instead of [PACKAGE] applier)");
    command->add_flag("--replace", options->replace, "replace the package already in OUTDIR");
    command->footer("Every problem is reported, one line each, and nothing is written while there is one. "
                    "The same manifest and files always give a byte-identical package.");
    command->callback([options, io, &exitCode] { exitCode = runBuild(*options, io); });
}

}  // namespace tlvkit
