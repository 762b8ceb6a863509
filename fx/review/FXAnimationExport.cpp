#include "review/FXAnimationExport.h"

#include "review/FXHeadlessView.h"

#include <cmath>

std::string FXAnimationExport::Check(const FXExportSettings& settings) {
    AnimationFormat format = AnimationFormat::Gif;
    if (!AnimationFormatOf(settings.outputPath, format))
        return settings.outputPath + ": the extension names no animation format (.gif, .webp "
                                     "or .png)";
    if (settings.transparent && format == AnimationFormat::Gif)
        return "a GIF keeps no partial transparency: export transparent frames as .png or .webp";
    if (settings.frames < 1 || settings.frames > 100000)
        return "the number of frames must be from 1 to 100000";
    if (!(settings.fps > 0.0 && settings.fps <= 1000.0))
        return "frames per second must be above 0 and at most 1000";
    if (!(settings.speed > 0.0 && settings.speed <= 1000.0))
        return "the speed must be above 0 and at most 1000";
    if (settings.width < 1 || settings.height < 1 || settings.width > 8192 ||
        settings.height > 8192)
        return "the frame size must be from 1 to 8192 pixels each way";
    return {};
}

FXReviewOutcome FXAnimationExport::Run(const FXExportSettings& settings,
                                       const FXReviewProgress& progress, std::string& reason) {
    reason = Check(settings);
    if (!reason.empty())
        return FXReviewOutcome::Failed;
    // The output first: a folder that cannot take it fails before any frame is drawn.
    std::unique_ptr<AnimationWriter> writer = AnimationWriter::Create(
        settings.outputPath, settings.width, settings.height, settings.options, reason);
    if (!writer)
        return FXReviewOutcome::Failed;
    std::unique_ptr<FXHeadlessView> view =
        FXHeadlessView::Create(settings.width, settings.height, &reason);
    if (!view)
        return FXReviewOutcome::Failed;
    view->SetTransparent(settings.transparent);
    if (!view->Start(settings.typeName, settings.scene, &reason))
        return FXReviewOutcome::Failed;

    const double delay = 1.0 / settings.fps;
    for (int frame = 0; frame < settings.frames; ++frame) {
        view->Advance(frame == 0 ? 0.0 : delay * settings.speed);
        const Image picture = view->Picture();
        if (!writer->AddFrame(picture.rgba.data(), delay, reason))
            return FXReviewOutcome::Failed;
        if (progress && !progress(frame + 1, settings.frames)) {
            reason = "cancelled";
            return FXReviewOutcome::Cancelled;
        }
    }
    if (!writer->Finish(reason))
        return FXReviewOutcome::Failed;
    return FXReviewOutcome::Done;
}
