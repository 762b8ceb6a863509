#pragma once

// The preview's playback and the FX runtime it plays in: the playback state (stopped,
// playing, paused), the one live instance of the document's main type, the random seed of
// the run, the speed, the time the effect has reached and the emitter placement the
// instance is given.
//
// To play, the registry is emptied and each of the document's types is registered through
// a TypeProxy, so the runtime may drop its types at any time without touching the
// document's data. A new list of types in the document stops playback.
//
// Every start of playback seeds the random generator with the run's seed (0 with Fix
// Random, a new one otherwise), so any moment of a run can be rebuilt exactly: started
// again from time 0 and advanced in the same equal steps (StartHeld, then the view's
// frames).
//
// While comparing, a second world (SparvWorld) plays other types (the effect as it was
// before the last edits) beside the document's, started, stopped and seeded with them,
// each world with its own random sequence so that each plays as it would alone.

#include "math/Math.h"
#include "runtime/FXHandle.h"

#include <QObject>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class FXManager;
class FXType;
class SparvDoc;
class SparvWorld;

class SparvPlayback : public QObject {
    Q_OBJECT

public:
    enum State : int { kStopped = 0, kPlaying = 1, kPaused = 2 };
    // What Changed reports.
    enum class Change {
        Restarted, // the instance was (re)started by a command
        Stopped,   // playback was stopped: the instance winds down
        Looped,    // a finished effect was restarted by the update loop
        State,     // the state changed without a new instance (pause, resume, reset)
        Speed,     // the speed changed
    };

    // Playback speeds, slowest first, and the index of normal speed.
    static constexpr std::array<double, 6> kSpeeds = {0.125, 0.25, 0.5, 1.0, 2.0, 4.0};
    static constexpr int kNormalSpeed = 3;
    // The step of Step and Step Back, in seconds of the effect.
    static constexpr double kFrameStep = 1.0 / 30.0;

    explicit SparvPlayback(SparvDoc& document, QObject* parent = nullptr);
    ~SparvPlayback() override;

    // Called before playback makes, releases or deletes what the runtime draws with: the
    // view makes its GL context current there.
    void SetBeforeRuntimeChange(std::function<void()> hook) {
        m_beforeRuntimeChange = std::move(hook);
    }

    // Starts the FX runtime once, with no limit on one update's step (scrubbing jumps an
    // effect forward by any time).
    void EnsureRuntime();
    // Destroys every instance and type of the runtime and shuts it down (comparing ends).
    void ShutdownRuntime();
    bool RuntimeStarted() const { return m_runtimeStarted; }

    int State() const { return m_state; }
    bool IsStopped() const { return m_state == kStopped; }
    bool IsPlaying() const { return m_state == kPlaying; }
    bool IsPaused() const { return m_state == kPaused; }
    // Playing a new run: a new seed (the fixed one with Fix Random), a fresh instance.
    void Play();
    // Stopped; the instance and its children finish by themselves.
    void Stop();
    void Pause();
    void Resume();
    // Paused at time 0 of the run with a fresh instance seeded with the run's seed, for the
    // view to advance to a moment; newRun first takes a new seed as Play does.
    void StartHeld(bool newRun);
    // Once per idle pass: while playing, restarts an effect whose instance has finished.
    void Update();
    FXHandle Instance() const { return m_instance; }

    bool FixRandom() const { return m_fixRandom; }
    void SetFixRandom(bool fixRandom) { m_fixRandom = fixRandom; }
    // The seed of every run while Fix Random is on: 0, or a snapshot's seed while one is
    // open (a new list of types sets it back to 0).
    uint32_t FixedSeed() const { return m_fixedSeed; }
    void SetFixedSeed(uint32_t seed) { m_fixedSeed = seed; }
    // The seed the current run started with.
    uint32_t Seed() const { return m_seed; }

    // Seconds of effect per second of real time: kSpeeds[SpeedIndex()].
    double Speed() const { return kSpeeds[static_cast<size_t>(m_speedIndex)]; }
    int SpeedIndex() const { return m_speedIndex; }
    // Any index; it is held within kSpeeds.
    void SetSpeedIndex(int index);

    // Seconds the run's instance has been advanced since it started, and whether the frame
    // shown is that moment rebuilt from time 0 in equal steps of at most kFXReviewMaxStep
    // (as a headless render reaches it), not reached by frames of real time.
    double Time() const { return m_time; }
    bool IsExact() const { return m_exact; }
    // The view advanced every world by step seconds; exact: as part of a rebuild.
    void Advanced(double step, bool exact);

    // The emitter placement given to every new instance. A new transform moves a playing
    // instance at once; scale, length and velocity wait for the next start.
    const Matrix4& EmitterTransform() const { return m_emitterTransform; }
    float EmitterScale() const { return m_emitterScale; }
    float EmitterLength() const { return m_emitterLength; }
    const Vector3& EmitterVelocity() const { return m_emitterVelocity; }
    void SetEmitter(const Matrix4& transform, float scale, float length, const Vector3& velocity);

    // --- compare ------------------------------------------------------------------------
    // Plays types in a second world beside the document's (its own types, owned there;
    // the main one first). A world already comparing takes the new types: its instances go
    // and the next start brings them in.
    void CompareWith(std::vector<std::shared_ptr<FXType>> types);
    void EndCompare();
    // The second world, or null when not comparing.
    SparvWorld* Before() const { return m_before.get(); }

signals:
    void Changed(SparvPlayback::Change change);

private:
    void Restart(bool fromUpdateLoop);
    // Starts the instance of a world's main type afresh in the current runtime.
    FXHandle StartInstance(FXManager& manager, const std::function<void(FXManager&)>& registerTypes,
                           const std::string& mainType, FXHandle previous);
    void RestartBefore();
    // Starts the compared version's main type afresh in its world (the caller has made the
    // world current), in place of previous.
    void StartBeforeInstance(FXHandle previous);
    // The document has a new list of types: nothing of the old ones may play on.
    void OnTypesReplaced(bool sameTypes);
    void BeforeRuntimeChange() const;
    void NewSeed();

    SparvDoc& m_document;
    bool m_runtimeStarted = false;
    int m_state = kStopped;
    FXHandle m_instance;
    bool m_fixRandom = false;
    uint32_t m_fixedSeed = 0;
    uint32_t m_seed = 0;
    int m_speedIndex = kNormalSpeed;
    double m_time = 0.0;
    bool m_exact = false;
    Matrix4 m_emitterTransform;
    float m_emitterScale = 1.0f;
    float m_emitterLength = 1.0f;
    Vector3 m_emitterVelocity{0.0f, 0.0f, 0.0f};
    std::unique_ptr<SparvWorld> m_before;
    std::function<void()> m_beforeRuntimeChange;
};
