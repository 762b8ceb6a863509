#pragma once

// The three keyframe links of the preview view: each binds one time-keyed property of a
// type of the document to a keyframe editor. A change of the working copy goes through the
// document's door as an edit of the whole property; an editor's gesture (a drag, a group
// move, a paste) is one undo step; and when the property changes from outside (undo,
// redo, a reload from disk) the view refreshes the link, so the open editor never shows
// stale keys. An unbound link writes nothing.

#include "shell/KeyframeLink.h"
#include "shell/SparvDoc.h"

#include <QPointer>
#include <string>

template <class T>
class KeyframeDocLink : public KeyframeLink<T> {
public:
    explicit KeyframeDocLink(QObject* parent = nullptr) : KeyframeLink<T>(parent) {}

    // Binds to a property of a type of the document (null: unbinds) and takes its keys;
    // false, with the keys empty, when the value is of another kind.
    bool Bind(SparvDoc* document, int typeIndex, const std::string& name, const FXVariable& value) {
        m_document = document;
        m_typeIndex = typeIndex;
        m_name = name;
        m_value = value;
        return this->ReloadFrom(value);
    }
    bool IsBoundTo(int typeIndex, const std::string& name) const {
        return m_document && m_typeIndex == typeIndex && m_name == name;
    }
    int TypeIndex() const { return m_typeIndex; }
    const std::string& Name() const { return m_name; }

    // The keys the property holds now (after an undo, a refused write, a reload).
    void Refresh() {
        FXVariable value;
        if (m_document && m_document->PropertyValue(m_typeIndex, m_name, value)) {
            m_value = value;
            this->ReloadFrom(m_value);
        }
    }

    void Changed() override {
        if (!m_document)
            return;
        this->StoreInto(m_value);
        m_document->ApplyPropertyChange(PropertyEdit::Whole(m_typeIndex, m_name, m_value));
    }
    void BeginGesture(const QString& label) override {
        if (m_document)
            m_document->BeginGesture(label + QStringLiteral(" on ") +
                                     QString::fromStdString(m_name));
    }
    void EndGesture() override {
        if (m_document)
            m_document->EndGesture();
    }

private:
    QPointer<SparvDoc> m_document;
    int m_typeIndex = -1;
    std::string m_name;
    FXVariable m_value; // the whole property, as last bound or written
};

class KeyframeFloatLink final : public KeyframeDocLink<float> {
public:
    using KeyframeDocLink<float>::KeyframeDocLink;
};

class KeyframeColourLink final : public KeyframeDocLink<Colour> {
public:
    using KeyframeDocLink<Colour>::KeyframeDocLink;
};

class KeyframeVector3Link final : public KeyframeDocLink<Vector3> {
public:
    using KeyframeDocLink<Vector3>::KeyframeDocLink;
};
