#pragma once

// The preview's playback and the FX runtime it plays in: the playback state (stopped,
// playing, paused), the one live instance of the document's main type, the fixed random
// seed and the emitter placement the instance is given.
//
// To play, the registry is emptied and each of the document's types is registered through
// a TypeProxy, so the runtime may drop its types at any time without touching the
// document's data. A new list of types in the document stops playback.

#include "math/Math.h"
#include "runtime/FXHandle.h"

#include <QObject>
#include <functional>

class SparvDoc;

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
    };

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
    // Destroys every instance and type of the runtime and shuts it down.
    void ShutdownRuntime();
    bool RuntimeStarted() const { return m_runtimeStarted; }

    int State() const { return m_state; }
    bool IsStopped() const { return m_state == kStopped; }
    bool IsPlaying() const { return m_state == kPlaying; }
    bool IsPaused() const { return m_state == kPaused; }
    // Playing with a fresh instance (reseeded first when fix random is on).
    void Play();
    // Stopped; the instance and its children finish by themselves.
    void Stop();
    void Pause();
    void Resume();
    // Once per idle pass: while playing, restarts an effect whose instance has finished.
    void Update();
    FXHandle Instance() const { return m_instance; }

    bool FixRandom() const { return m_fixRandom; }
    void SetFixRandom(bool fixRandom) { m_fixRandom = fixRandom; }

    // The emitter placement given to every new instance. A new transform moves a playing
    // instance at once; scale, length and velocity wait for the next start.
    const Matrix4& EmitterTransform() const { return m_emitterTransform; }
    float EmitterScale() const { return m_emitterScale; }
    float EmitterLength() const { return m_emitterLength; }
    const Vector3& EmitterVelocity() const { return m_emitterVelocity; }
    void SetEmitter(const Matrix4& transform, float scale, float length, const Vector3& velocity);

signals:
    void Changed(SparvPlayback::Change change);

private:
    void Restart(bool fromUpdateLoop);
    // The document has a new list of types: nothing of the old ones may play on.
    void OnTypesReplaced(bool sameTypes);
    void BeforeRuntimeChange() const;

    SparvDoc& m_document;
    bool m_runtimeStarted = false;
    int m_state = kStopped;
    FXHandle m_instance;
    bool m_fixRandom = false;
    Matrix4 m_emitterTransform;
    float m_emitterScale = 1.0f;
    float m_emitterLength = 1.0f;
    Vector3 m_emitterVelocity{0.0f, 0.0f, 0.0f};
    std::function<void()> m_beforeRuntimeChange;
};
