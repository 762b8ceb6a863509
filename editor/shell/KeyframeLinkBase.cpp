#include "shell/KeyframeLinkBase.h"

KeyframeLinkBase::KeyframeLinkBase(QObject* parent) : QObject(parent) {}

// The derived hooks are gone by now: an open gesture ends without them.
KeyframeLinkBase::~KeyframeLinkBase() = default;

void KeyframeLinkBase::BeginGesture(const QString& /*label*/) {}

void KeyframeLinkBase::OpenGesture(const QString& label) {
    CloseGesture();
    m_gestureLabel = label;
    m_gestureOpen = true;
}

void KeyframeLinkBase::CloseGesture() {
    const bool begun = m_gestureBegun;
    m_gestureOpen = false;
    m_gestureBegun = false;
    m_gestureLabel.clear();
    if (begun)
        EndGesture();
}

void KeyframeLinkBase::BeforeChange() {
    if (m_gestureOpen && !m_gestureBegun) {
        m_gestureBegun = true;
        BeginGesture(m_gestureLabel);
    }
}
