// sparv-fx: the command-line face of the FX runtime, for pipelines, tests and measuring.
//
//   sparv-fx dump --raw FILE              one FX file as the reader gives it, as JSON
//   sparv-fx dump NAME | --style STYLE    a type as the registry gives it
//   sparv-fx new STYLE NAME               a type of a style with its defaults, saved
//   sparv-fx lint [--budget N] [NAME ...] the problems of an FX library
//   sparv-fx simulate NAME                one effect run headless, step by step
//   sparv-fx budget NAME                  the most instances an effect can have alive
//   sparv-fx mesh-import IN.obj OUT.kmo   a Wavefront OBJ mesh as a ".kmo" file
//   sparv-fx render NAME -o OUT           one effect drawn headless as the preview shows it:
//                                         a picture, or an animation (GIF, WebP, PNG frames)
//   sparv-fx render --snapshot FILE -o OUT.png
//                                         the frame a review snapshot holds
//   sparv-fx snapshot NAME -o FILE        a review snapshot of an effect at a moment
//   sparv-fx bake NAME -o SHEET.png       a flip-book sheet and its texture animation
//   sparv-fx make-assets FOLDER           the default textures and meshes

#include "Commands.h"
#include "ToolSupport.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

void PrintUsage(FILE* out) {
    std::fputs(
        "usage: sparv-fx COMMAND [ARGS]\n"
        "\n"
        "commands:\n"
        "  dump --raw FILE           one FX file as the reader gives it, as JSON\n"
        "  dump NAME [--wkdir DIR]   a type as the registry gives it (defaults and file)\n"
        "  dump --style STYLE        a new type of a style with its defaults\n"
        "  new STYLE NAME [--wkdir DIR]\n"
        "                            write a type of a style with its defaults\n"
        "  lint [--wkdir DIR] [--budget N] [NAME ...]\n"
        "                            report the problems of FX files (all when no name);\n"
        "                            with --budget, effects that can have more than N\n"
        "                            instances alive at once\n"
        "  simulate NAME [--wkdir DIR] [--seed N] [--dt SECONDS] [--steps K]\n"
        "                [--max-step SECONDS] [--positions]\n"
        "                            run one effect and print what lives after each step\n"
        "  budget NAME [NAME ...] [--wkdir DIR] [--step SECONDS]\n"
        "                            the most instances of each type an effect can have\n"
        "                            alive at once, from its definitions (JSON)\n"
        "  mesh-import IN.obj OUT.kmo [--scale S]\n"
        "                            convert a Wavefront OBJ mesh to a .kmo mesh\n"
        "  render NAME|- [--wkdir DIR] [--time T | --frames N [--fps F] [--speed S]]\n"
        "              [--size WxH] [--seed N] [--camera YAW,PITCH,DISTANCE]\n"
        "              [--target X,Y,Z] [--grid xz|xy|none] [--background R,G,B]\n"
        "              [--gravity X,Y,Z] [--wind X,Y,Z] [--transparent] -o OUT\n"
        "                            draw an effect headless: one PNG, or with --frames\n"
        "                            an animation by OUT's extension: .gif, .webp, or\n"
        "                            .png for NAME_0001.png ... (or a pattern out_%04d.png)\n"
        "  render --snapshot FILE [--wkdir DIR] [--size WxH] [--transparent] -o OUT.png\n"
        "                            draw the frame a review snapshot holds\n"
        "  snapshot NAME [render's scene options] [--time T] [--size WxH] [--note TEXT]\n"
        "              -o FILE.sparvsnap\n"
        "                            write a review snapshot of an effect at a moment\n"
        "  bake NAME [--grid CxR] [--fps F] [--size S] [--seed N] [--camera Y,P,D]\n"
        "              [--target X,Y,Z] [--background R,G,B] [--texture NAME] -o SHEET.png\n"
        "                            bake a flip-book sheet and its .anim beside it\n"
        "  make-assets FOLDER        write the default textures and meshes\n"
        "\n"
        "The working directory (default: the current one) holds Data/art/fx/.\n",
        out);
}

const struct {
    const char* name;
    int (*run)(const std::vector<std::string>& args);
} kVerbs[] = {
    {"dump", RunDump},         {"new", RunNew},
    {"lint", RunLint},         {"simulate", RunSimulate},
    {"budget", RunBudget},     {"mesh-import", RunMeshImport},
    {"render", RunRender},     {"make-assets", RunMakeAssets},
    {"snapshot", RunSnapshot}, {"bake", RunBake},
};

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        PrintUsage(stderr);
        return kUsageStatus;
    }
    const std::string command = argv[1];
    const std::vector<std::string> args(argv + 2, argv + argc);
    if (command == "-h" || command == "--help" || command == "help") {
        PrintUsage(stdout);
        return 0;
    }
    for (const auto& [name, run] : kVerbs)
        if (command == name)
            return run(args);
    std::fprintf(stderr, "sparv-fx: unknown command '%s'\n", command.c_str());
    PrintUsage(stderr);
    return kUsageStatus;
}
