#include "review/FXFlipbookBaker.h"

#include "review/FXHeadlessView.h"
#include "runtime/FXManager.h"
#include "script/LuaText.h"
#include "stream/AtomicFileWriter.h"
#include "stream/FilePath.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <limits>

namespace {

// The framing pass draws small: only the bounds of the instances matter there.
constexpr int kFramingSize = 64;
// Room around the bounds, as a share of the square's side.
constexpr double kMargin = 0.04;
// The sheet's largest side, within what textures may have.
constexpr int kMaxSheetSide = 8192;

// What the effect covers on screen, in normalised device coordinates (-1 to 1 across and
// up).
struct ScreenBounds {
    double left = std::numeric_limits<double>::max();
    double bottom = std::numeric_limits<double>::max();
    double right = -std::numeric_limits<double>::max();
    double top = -std::numeric_limits<double>::max();
    bool whole = false; // an instance reaches the eye: take the whole view

    bool Empty() const { return !whole && left > right; }
    void Add(double x0, double y0, double x1, double y1) {
        left = std::min(left, x0);
        bottom = std::min(bottom, y0);
        right = std::max(right, x1);
        top = std::max(top, y1);
    }
};

// Adds the sphere of every instance that is drawn, as the frame's matrices project it.
void AddInstances(const FXManager& manager, const Matrix4& view, const Matrix4& projection,
                  ScreenBounds& bounds) {
    const Matrix4& p = projection;
    for (const FXRecord& record : manager.Records()) {
        if ((record.flags & (FX_RECORD_FINISHED | FX_RECORD_NOT_RENDERABLE)) != 0 ||
            (record.flags & FX_RECORD_DRAWN) == 0 || !(record.radius > 0.0f))
            continue;
        const Vector3 v = view.TransformPoint(record.position);
        const double x = v.x * p.m[0][0] + v.y * p.m[1][0] + v.z * p.m[2][0] + p.m[3][0];
        const double y = v.x * p.m[0][1] + v.y * p.m[1][1] + v.z * p.m[2][1] + p.m[3][1];
        const double w = v.x * p.m[0][3] + v.y * p.m[1][3] + v.z * p.m[2][3] + p.m[3][3];
        // A sphere reaching the eye's plane has no finite picture.
        if (!(w > record.radius) || !std::isfinite(x) || !std::isfinite(y)) {
            bounds.whole = true;
            continue;
        }
        const double radiusX = record.radius * std::abs(p.m[0][0]) / (w - record.radius);
        const double radiusY = record.radius * std::abs(p.m[1][1]) / (w - record.radius);
        bounds.Add(x / w - radiusX, y / w - radiusY, x / w + radiusX, y / w + radiusY);
    }
}

std::string TextureNameOf(const std::string& sheetPath) {
    std::string aliased;
    if (FilePath::ConvertToAlias(sheetPath, aliased))
        return aliased;
    std::error_code ignored;
    return std::filesystem::absolute(sheetPath, ignored).generic_string();
}

} // namespace

std::string FXFlipbookBaker::Check(const FXBakeSettings& settings) {
    if (settings.columns < 1 || settings.rows < 1 || settings.columns > 64 || settings.rows > 64)
        return "the grid must have 1 to 64 columns and rows";
    if (settings.cellSize < 4 || settings.cellSize > 2048)
        return "the frame size must be from 4 to 2048 pixels";
    if (settings.columns * settings.cellSize > kMaxSheetSide ||
        settings.rows * settings.cellSize > kMaxSheetSide)
        return "the sheet would be wider or taller than " + std::to_string(kMaxSheetSide) +
               " pixels";
    if (!(settings.fps > 0.0 && settings.fps <= 1000.0))
        return "frames per second must be above 0 and at most 1000";
    if (settings.sheetPath.size() < 5 ||
        std::filesystem::path(settings.sheetPath).extension().string() != ".png")
        return settings.sheetPath + ": the sheet is written as a .png file";
    return {};
}

std::string FXFlipbookBaker::AnimationPathFor(const std::string& sheetPath) {
    return std::filesystem::path(sheetPath).replace_extension(".anim").string();
}

std::string FXFlipbookBaker::AnimationText(const FXBakeSettings& settings,
                                           const std::string& texture) {
    const int frames = settings.columns * settings.rows;
    std::string text = "-- Flip-book baked by sparv-fx: " + std::to_string(settings.columns) +
                       " x " + std::to_string(settings.rows) + " frames of " +
                       std::to_string(settings.cellSize) +
                       " pixels,\n-- left to right from the top row.\nanim = { texture = ";
    LuaText::AppendQuoted(text, texture);
    text += ", columns = " + std::to_string(settings.columns) +
            ", rows = " + std::to_string(settings.rows) + ", frames = " + std::to_string(frames) +
            ", fps = ";
    LuaText::AppendNumber(text, settings.fps);
    text += " }\n";
    return text;
}

FXReviewOutcome FXFlipbookBaker::Run(const FXBakeSettings& settings,
                                     const FXReviewProgress& progress, FXBakeLayout& layout,
                                     std::string& reason) {
    reason = Check(settings);
    if (!reason.empty())
        return FXReviewOutcome::Failed;
    const FXManager* manager = FXManager::Instance();
    if (!manager) {
        reason = "the FX runtime is not started";
        return FXReviewOutcome::Failed;
    }
    const int frames = settings.columns * settings.rows;
    const double step = 1.0 / settings.fps;
    layout = {};
    layout.frames = frames;
    layout.sheetPath = settings.sheetPath;
    layout.animationPath = AnimationPathFor(settings.sheetPath);
    layout.textureName =
        settings.textureName.empty() ? TextureNameOf(settings.sheetPath) : settings.textureName;

    // The outputs first: a folder that cannot take them fails before any drawing.
    AtomicFileWriter sheetFile;
    AtomicFileWriter animationFile;
    if (!sheetFile.Open(layout.sheetPath, reason) ||
        !animationFile.Open(layout.animationPath, reason))
        return FXReviewOutcome::Failed;

    FXReviewScene scene = settings.scene;
    scene.gridXZ = false;
    scene.gridXY = false;
    auto cancelled = [&](int done) {
        if (!progress || progress(done, 2 * frames))
            return false;
        reason = "cancelled";
        return true;
    };

    // Pass 1: where the effect is on screen over the frames baked. The view is square
    // like the second one, so the camera sees (and the runtime updates) the same.
    ScreenBounds bounds;
    {
        std::unique_ptr<FXHeadlessView> view =
            FXHeadlessView::Create(kFramingSize, kFramingSize, &reason);
        if (!view || !view->Start(settings.typeName, scene, &reason))
            return FXReviewOutcome::Failed;
        for (int frame = 0; frame < frames; ++frame) {
            view->Advance(frame == 0 ? 0.0 : step);
            AddInstances(*manager, view->ViewMatrix(), view->ProjectionMatrix(), bounds);
            if (cancelled(frame + 1))
                return FXReviewOutcome::Cancelled;
        }
    }
    if (bounds.Empty()) {
        reason = settings.typeName + ": nothing to bake, the effect draws nothing in its first " +
                 std::to_string(frames) + " frames";
        return FXReviewOutcome::Failed;
    }
    if (bounds.whole)
        bounds.Add(-1.0, -1.0, 1.0, 1.0);
    // Only what the view shows can be baked.
    const double left = std::max(bounds.left, -1.0);
    const double right = std::min(bounds.right, 1.0);
    const double bottom = std::max(bounds.bottom, -1.0);
    const double top = std::min(bounds.top, 1.0);
    const double side =
        std::clamp(std::max(right - left, top - bottom) * (1.0 + 2.0 * kMargin), 1e-3, 2.0);
    const double centreX = (left + right) * 0.5;
    const double centreY = (bottom + top) * 0.5;
    const int cell = settings.cellSize;
    layout.renderSize =
        std::clamp(static_cast<int>(std::ceil(cell / (side * 0.5))), cell, kMaxRenderSize);
    const double size = layout.renderSize;
    layout.square.side = side * 0.5 * size;
    layout.square.left = (centreX - side * 0.5 + 1.0) * 0.5 * size;
    layout.square.top = (1.0 - (centreY + side * 0.5)) * 0.5 * size;

    // Pass 2: the frames, cut and laid out on the sheet.
    Image sheet;
    sheet.width = settings.columns * cell;
    sheet.height = settings.rows * cell;
    sheet.rgba.assign(static_cast<size_t>(sheet.width) * static_cast<size_t>(sheet.height) * 4, 0);
    {
        std::unique_ptr<FXHeadlessView> view =
            FXHeadlessView::Create(layout.renderSize, layout.renderSize, &reason);
        if (!view)
            return FXReviewOutcome::Failed;
        view->SetTransparent(true);
        if (!view->Start(settings.typeName, scene, &reason))
            return FXReviewOutcome::Failed;
        for (int frame = 0; frame < frames; ++frame) {
            view->Advance(frame == 0 ? 0.0 : step);
            const Image cut = CropAndScale(view->Picture(), layout.square, cell);
            PasteImage(sheet, cut, frame % settings.columns * cell,
                       frame / settings.columns * cell);
            if (cancelled(frames + frame + 1))
                return FXReviewOutcome::Cancelled;
        }
    }

    std::vector<uint8_t> png;
    if (!EncodePng(sheet.width, sheet.height, sheet.rgba, png, &reason))
        return FXReviewOutcome::Failed;
    const std::string animation = AnimationText(settings, layout.textureName);
    if (!sheetFile.Write(png.data(), png.size(), reason) || !sheetFile.Finish(reason) ||
        !animationFile.Write(animation.data(), animation.size(), reason) ||
        !animationFile.Finish(reason) || !sheetFile.Commit(reason) || !animationFile.Commit(reason))
        return FXReviewOutcome::Failed;
    return FXReviewOutcome::Done;
}
