#include "shell/SparvPlayback.h"

#include "math/Random.h"
#include "runtime/FXManager.h"
#include "shell/SparvDoc.h"
#include "shell/SparvWorld.h"
#include "shell/TypeProxy.h"

#include <QRandomGenerator>
#include <algorithm>
#include <limits>

SparvPlayback::SparvPlayback(SparvDoc& document, QObject* parent)
    : QObject(parent), m_document(document) {
    connect(&m_document, &SparvDoc::TypesReplaced, this, &SparvPlayback::OnTypesReplaced);
}

SparvPlayback::~SparvPlayback() {
    ShutdownRuntime();
}

void SparvPlayback::BeforeRuntimeChange() const {
    if (m_beforeRuntimeChange)
        m_beforeRuntimeChange();
}

void SparvPlayback::EnsureRuntime() {
    if (m_runtimeStarted)
        return;
    m_runtimeStarted = true;
    FXManager::Startup();
    FXManager::Instance()->SetMaxUpdateStep(std::numeric_limits<float>::max());
}

void SparvPlayback::ShutdownRuntime() {
    m_instance = kNullFXHandle;
    if (!m_runtimeStarted)
        return;
    BeforeRuntimeChange();
    m_before.reset();
    m_runtimeStarted = false;
    FXManager::Shutdown();
}

void SparvPlayback::OnTypesReplaced(bool sameTypes) {
    if (sameTypes)
        return; // renamed or saved: what plays is still the document's
    if (FXManager* manager = FXManager::Instance()) {
        BeforeRuntimeChange();
        manager->Reset();
    }
    m_instance = kNullFXHandle;
    m_state = kStopped;
    m_fixedSeed = 0;
    m_time = 0.0;
    m_exact = false;
    EndCompare();
    emit Changed(Change::State);
}

void SparvPlayback::NewSeed() {
    m_seed = m_fixRandom ? m_fixedSeed : QRandomGenerator::global()->generate();
}

void SparvPlayback::Play() {
    m_state = kPlaying;
    NewSeed();
    Restart(false);
}

void SparvPlayback::StartHeld(bool newRun) {
    m_state = kPaused;
    if (newRun)
        NewSeed();
    Restart(false);
}

void SparvPlayback::Stop() {
    m_state = kStopped;
    if (FXManager* manager = FXManager::Instance())
        manager->Stop(m_instance);
    if (m_before) {
        SparvWorld::Scope scope(*m_before);
        m_before->Manager().Stop(m_before->instance);
    }
    emit Changed(Change::Stopped);
}

void SparvPlayback::Pause() {
    m_state = kPaused;
    emit Changed(Change::State);
}

void SparvPlayback::Resume() {
    m_state = kPlaying;
    emit Changed(Change::State);
}

void SparvPlayback::SetSpeedIndex(int index) {
    index = std::clamp(index, 0, static_cast<int>(kSpeeds.size()) - 1);
    if (index == m_speedIndex)
        return;
    m_speedIndex = index;
    emit Changed(Change::Speed);
}

void SparvPlayback::Advanced(double step, bool exact) {
    m_time += step;
    m_exact = exact;
}

FXHandle SparvPlayback::StartInstance(FXManager& manager,
                                      const std::function<void(FXManager&)>& registerTypes,
                                      const std::string& mainType, FXHandle previous) {
    if (!previous.IsNull())
        manager.Destroy(previous);
    manager.TypeReleaseAll();
    manager.Reset();
    registerTypes(manager);
    manager.ResetStats();
    if (mainType.empty())
        return kNullFXHandle;
    const FXHandle instance = manager.Create(mainType.c_str(), nullptr, 1);
    manager.SetTransform(instance, m_emitterTransform);
    manager.SetScale(instance, m_emitterScale);
    manager.SetLength(instance, m_emitterLength);
    manager.SetVelocity(instance, m_emitterVelocity);
    return instance;
}

void SparvPlayback::Restart(bool fromUpdateLoop) {
    FXManager* manager = FXManager::Instance();
    if (!manager)
        return;
    BeforeRuntimeChange();
    if (!fromUpdateLoop) {
        // A new start of the run: every world from the run's seed.
        RandomSeed(m_seed);
        RestartBefore();
    }
    const FXType* main = m_document.TypeAt(0);
    m_instance = StartInstance(
        *manager,
        [this](FXManager& registry) {
            for (int i = 0; i < m_document.TypeCount(); ++i)
                registry.TypeAdd(std::make_shared<TypeProxy>(m_document.SharedTypeAt(i)));
        },
        main ? main->GetName() : std::string(), m_instance);
    m_time = 0.0;
    m_exact = false;
    emit Changed(fromUpdateLoop ? Change::Looped : Change::Restarted);
}

void SparvPlayback::RestartBefore() {
    if (!m_before)
        return;
    SparvWorld::Scope scope(*m_before);
    RandomSeed(m_seed);
    StartBeforeInstance(m_before->instance);
}

void SparvPlayback::StartBeforeInstance(FXHandle previous) {
    const std::vector<std::shared_ptr<FXType>>& types = m_before->Types();
    m_before->instance = StartInstance(
        m_before->Manager(),
        [&types](FXManager& registry) {
            for (const std::shared_ptr<FXType>& type : types)
                registry.TypeAdd(type);
        },
        types.empty() ? std::string() : types.front()->GetName(), previous);
}

void SparvPlayback::Update() {
    if (m_document.TypeCount() == 0 || m_state != kPlaying)
        return;
    if (m_before) {
        // The version compared with loops on its own, with its own sequence.
        SparvWorld::Scope scope(*m_before);
        const FXHandle instance = m_before->instance;
        if (instance.IsNull() || !m_before->Manager().IsAlive(instance)) {
            BeforeRuntimeChange();
            StartBeforeInstance(kNullFXHandle);
        }
    }
    const FXManager* manager = FXManager::Instance();
    if (m_instance.IsNull() || !manager || !manager->IsAlive(m_instance)) {
        m_instance = kNullFXHandle;
        Restart(true);
    }
}

void SparvPlayback::SetEmitter(const Matrix4& transform, float scale, float length,
                               const Vector3& velocity) {
    m_emitterTransform = transform;
    m_emitterScale = scale;
    m_emitterLength = length;
    m_emitterVelocity = velocity;
    if (m_state == kPlaying) {
        if (FXManager* manager = FXManager::Instance())
            manager->SetTransform(m_instance, m_emitterTransform);
        if (m_before) {
            SparvWorld::Scope scope(*m_before);
            m_before->Manager().SetTransform(m_before->instance, m_emitterTransform);
        }
    }
}

void SparvPlayback::CompareWith(std::vector<std::shared_ptr<FXType>> types) {
    if (!FXManager::Instance())
        return;
    BeforeRuntimeChange();
    if (m_before) {
        SparvWorld::Scope scope(*m_before);
        m_before->Manager().TypeReleaseAll();
        m_before->Manager().Reset();
        m_before->instance = kNullFXHandle;
    } else {
        m_before = std::make_unique<SparvWorld>();
    }
    m_before->SetTypes(std::move(types));
}

void SparvPlayback::EndCompare() {
    if (!m_before)
        return;
    BeforeRuntimeChange();
    m_before.reset();
}
