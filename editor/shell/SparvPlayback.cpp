#include "shell/SparvPlayback.h"

#include "runtime/FXManager.h"
#include "math/Random.h"
#include "shell/SparvDoc.h"
#include "shell/TypeProxy.h"

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
    emit Changed(Change::State);
}

void SparvPlayback::Play() {
    m_state = kPlaying;
    if (m_fixRandom)
        RandomSeed(0);
    Restart(false);
}

void SparvPlayback::Stop() {
    m_state = kStopped;
    if (FXManager* manager = FXManager::Instance())
        manager->Stop(m_instance);
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

void SparvPlayback::Restart(bool fromUpdateLoop) {
    FXManager* manager = FXManager::Instance();
    if (!manager)
        return;
    BeforeRuntimeChange();
    if (!m_instance.IsNull()) {
        manager->Destroy(m_instance);
        m_instance = kNullFXHandle;
    }
    manager->TypeReleaseAll();
    manager->Reset();
    for (int i = 0; i < m_document.TypeCount(); ++i)
        manager->TypeAdd(std::make_shared<TypeProxy>(m_document.SharedTypeAt(i)));
    manager->ResetStats();
    if (const FXType* main = m_document.TypeAt(0)) {
        m_instance = manager->Create(main->GetName().c_str(), nullptr, 1);
        manager->SetTransform(m_instance, m_emitterTransform);
        manager->SetScale(m_instance, m_emitterScale);
        manager->SetLength(m_instance, m_emitterLength);
        manager->SetVelocity(m_instance, m_emitterVelocity);
    }
    emit Changed(fromUpdateLoop ? Change::Looped : Change::Restarted);
}

void SparvPlayback::Update() {
    if (m_document.TypeCount() == 0 || m_state != kPlaying)
        return;
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
    if (m_state == kPlaying)
        if (FXManager* manager = FXManager::Instance())
            manager->SetTransform(m_instance, m_emitterTransform);
}
