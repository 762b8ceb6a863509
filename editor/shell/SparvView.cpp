#include "shell/SparvView.h"

#include "runtime/FXManager.h"
#include "shell/RenderWindow.h"
#include "shell/SparvAttr.h"
#include "shell/SparvDoc.h"
#include "shell/SparvFormat.h"
#include "shell/SparvKeyframeEditors.h"
#include "shell/SparvLoop.h"
#include "shell/SparvPrompts.h"
#include "shell/SparvProp.h"
#include "shell/SparvStatusLine.h"
#include "shell/SparvTime.h"
#include "shell/SparvWorld.h"
#include "widgets/SparvDlgModel.h"
#include "widgets/SparvPropSub.h"

#include <QApplication>
#include <QComboBox>
#include <QFontDatabase>
#include <QPushButton>
#include <QResizeEvent>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QSplitter>
#include <algorithm>
#include <cmath>

namespace {

// A rectangle given by its edges, as the layout table states them.
QRect Edges(int left, int top, int right, int bottom) {
    return QRect(left, top, std::max(0, right - left), std::max(0, bottom - top));
}

QSplitter* NewSplitter(Qt::Orientation orientation, QWidget* parent) {
    auto* splitter = new QSplitter(orientation, parent);
    splitter->setChildrenCollapsible(true);
    splitter->setOpaqueResize(true);
    splitter->setMinimumSize(0, 0);
    return splitter;
}

// The speeds as the speed box and the status line name them.
const char* const kSpeedNames[] = {"1/8", "1/4", "1/2", "1", "2", "4"};
static_assert(std::size(kSpeedNames) == SparvPlayback::kSpeeds.size());

// A looping effect far into its run is rebuilt at the same point of a loop no later than
// this, so that a step never simulates more than this many seconds.
constexpr double kMaxReplaySeconds = 20.0;

} // namespace

SparvView::SparvView(SparvDoc& document, SparvPlayback& playback, QWidget* parent)
    : QWidget(parent), m_document(document), m_playback(playback) {
    setObjectName(QStringLiteral("SparvView"));
    setMinimumSize(0, 0);

    // A static 2 x 2 splitter: two columns, each split into two rows whose heights move
    // together.
    m_splitter = NewSplitter(Qt::Horizontal, this);
    m_leftColumn = NewSplitter(Qt::Vertical, m_splitter);
    m_rightColumn = NewSplitter(Qt::Vertical, m_splitter);
    m_splitter->addWidget(m_leftColumn);
    m_splitter->addWidget(m_rightColumn);

    m_renderWindow = new RenderWindow(m_leftColumn);
    m_keyframeEditors = new SparvKeyframeEditors(m_leftColumn);
    m_keyframeEditors->CreateEditors();
    m_typeTree = new SparvAttr(m_rightColumn);
    m_propertyPanel = new SparvProp(m_rightColumn);
    m_leftColumn->addWidget(m_renderWindow);
    m_leftColumn->addWidget(m_keyframeEditors);
    m_rightColumn->addWidget(m_typeTree);
    m_rightColumn->addWidget(m_propertyPanel);
    m_renderWindow->HookParent();

    // The first column and the first row keep their sizes; the last ones take the rest.
    m_splitter->setStretchFactor(0, 0);
    m_splitter->setStretchFactor(1, 1);
    for (QSplitter* column : {m_leftColumn, m_rightColumn}) {
        column->setStretchFactor(0, 0);
        column->setStretchFactor(1, 1);
        column->setSizes({kRow0Height, kRow1Height});
        connect(column, &QSplitter::splitterMoved, this, [this, column] { SyncRows(column); });
    }
    m_splitter->setSizes({kColumn0Width, kColumn1Width});
    // The right-hand column keeps room for a whole sub-editor when the window narrows.
    m_rightColumn->setMinimumWidth(m_propertyPanel->SubEditor(0)->width() + 4);
    m_splitter->setCollapsible(1, false);

    m_timeBar = new SparvTime(this);
    m_timeBar->setObjectName(QStringLiteral("SparvTime"));
    connect(m_timeBar, &SparvTime::Scrubbed, this, &SparvView::OnTimeScrubbed);

    // The transport buttons never take the focus: the keys stay the preview's.
    const QFont buttonFont = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    const auto transportButton = [this, &buttonFont](const QString& text, const QString& name,
                                                     const QString& tip, SparvCommand::Id command) {
        auto* button = new QPushButton(text, this);
        button->setObjectName(name);
        button->setToolTip(tip);
        button->setFont(buttonFont);
        button->setAutoDefault(false);
        button->setFocusPolicy(Qt::NoFocus);
        connect(button, &QPushButton::clicked, this, [this, command] { OnCommand(command); });
        return button;
    };
    m_playButton = transportButton(QStringLiteral("Play"), QStringLiteral("Play"), QString(),
                                   SparvCommand::PlayButton);
    m_stopButton = transportButton(QStringLiteral("Stop"), QStringLiteral("Stop"), QString(),
                                   SparvCommand::StopButton);

    m_speedBox = new QComboBox(this);
    m_speedBox->setObjectName(QStringLiteral("Speed"));
    m_speedBox->setToolTip(QStringLiteral("Playback speed ([ slower, ] faster, \\ normal)"));
    for (const char* name : kSpeedNames)
        m_speedBox->addItem(QString::fromLatin1(name) + QStringLiteral(" \u00d7"));
    m_speedBox->setCurrentIndex(m_playback.SpeedIndex());
    m_speedBox->setFocusPolicy(Qt::NoFocus);
    connect(m_speedBox, &QComboBox::activated, this, &SparvView::OnSpeedChosen);
    m_stepBackButton =
        transportButton(QStringLiteral("<|"), QStringLiteral("StepBack"),
                        QStringLiteral("Step back 1/30 s (,)"), SparvCommand::StepBack);
    m_stepButton = transportButton(QStringLiteral("|>"), QStringLiteral("Step"),
                                   QStringLiteral("Step 1/30 s (.)"), SparvCommand::StepForward);
    m_compareEdits = new QSpinBox(this);
    m_compareEdits->setObjectName(QStringLiteral("CompareEdits"));
    m_compareEdits->setPrefix(QStringLiteral("before "));
    m_compareEdits->setSuffix(QStringLiteral(" edit"));
    m_compareEdits->setRange(1, 1);
    m_compareEdits->setToolTip(QStringLiteral("How many edits back the left half shows"));
    m_compareEdits->hide();
    connect(m_compareEdits, &QSpinBox::valueChanged, this, &SparvView::SetCompareEdits);
    connect(m_compareEdits, &QSpinBox::valueChanged, this, [this](int edits) {
        m_compareEdits->setSuffix(edits == 1 ? QStringLiteral(" edit") : QStringLiteral(" edits"));
    });

    m_statusLine = new SparvStatusLine(this);
    m_statusLine->setObjectName(QStringLiteral("StatusLine"));

    connect(&m_document, &SparvDoc::TypesReplaced, this, &SparvView::OnTypesReplaced);
    connect(&m_document, &SparvDoc::PropertyChanged, this, &SparvView::OnPropertyChanged);
    connect(&m_playback, &SparvPlayback::Changed, this, &SparvView::OnPlaybackChanged);
    connect(m_typeTree, &SparvAttr::SelectionChanged, this, &SparvView::OnSelectionChanged);
    connect(m_propertyPanel, &SparvProp::SetAtKey, this,
            [this](int typeIndex, const QString& name, const FXVariable& value) {
                OnSetValue(typeIndex, name, value, false);
            });
    connect(m_propertyPanel, &SparvProp::SetAtAllKeys, this,
            [this](int typeIndex, const QString& name, const FXVariable& value) {
                OnSetValue(typeIndex, name, value, true);
            });
    connect(m_keyframeEditors, &SparvKeyframeEditors::Message, this,
            [this](const QString& text) { m_statusLine->SetText(0, text); });
    // A half-typed field or a drag in progress ends before the history moves.
    // The left half of the compare view follows the history.
    connect(&m_document.UndoStack(), &QUndoStack::indexChanged, this, [this] {
        if (m_comparing)
            RefreshCompare();
    });
    connect(&m_document, &SparvDoc::HistoryAboutToMove, this, [this] {
        m_floatLink.CloseGesture();
        m_colourLink.CloseGesture();
        m_vector3Link.CloseGesture();
    });
    m_document.SetBeforeRuntimeChange([this] { MakeContextCurrent(); });
    m_playback.SetBeforeRuntimeChange([this] { MakeContextCurrent(); });
    ButtonStates();
    m_renderWindow->setFocus(Qt::OtherFocusReason);
}

SparvView::~SparvView() {
    // The document's types and the runtime go first, while the render window's context
    // can still free what they hold.
    MakeContextCurrent();
    disconnect(&m_document, nullptr, this, nullptr);
    disconnect(&m_document.UndoStack(), nullptr, this, nullptr);
    disconnect(&m_playback, nullptr, this, nullptr);
    m_renderWindow->SetCompare(nullptr, {}, {});
    m_comparing = false;
    m_document.EmptyContents();
    m_playback.ShutdownRuntime();
    m_document.SetBeforeRuntimeChange({});
    m_playback.SetBeforeRuntimeChange({});
}

void SparvView::MakeContextCurrent() {
    m_renderWindow->MakeContextCurrent();
}

void SparvView::SyncRows(QSplitter* source) {
    if (m_syncingRows)
        return;
    m_syncingRows = true;
    QSplitter* other = source == m_leftColumn ? m_rightColumn : m_leftColumn;
    other->setSizes(source->sizes());
    m_syncingRows = false;
}

void SparvView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int w = width();
    const int h = height();
    m_splitter->setGeometry(Edges(3, 3, w - 3, h - 97));
    m_timeBar->setGeometry(Edges(3, h - 94, w - 3, h - 59));
    m_playButton->setGeometry(Edges(3, h - 56, 83, h - 26));
    m_stopButton->setGeometry(Edges(86, h - 56, 166, h - 26));
    m_speedBox->setGeometry(Edges(172, h - 56, 252, h - 26));
    m_stepBackButton->setGeometry(Edges(255, h - 56, 290, h - 26));
    m_stepButton->setGeometry(Edges(293, h - 56, 328, h - 26));
    m_compareEdits->setGeometry(Edges(334, h - 56, 514, h - 26));
    m_statusLine->setGeometry(Edges(0, h - 20, w, h));
}

// ---- document hints -----------------------------------------------------------------------

void SparvView::InitialUpdate() {
    m_playback.EnsureRuntime();
    WriteStatus();
}

void SparvView::OnTypesReplaced(bool sameTypes) {
    // A save keeps the selection: the same property is shown again in the new tree.
    const int selected = sameTypes ? m_typeTree->SelectedData() : -1;
    m_typeTree->Fill(m_document);
    m_propertyPanel->Clear();
    m_statusLine->SetText(0, QString());
    UpdateTimeBarLength();
    m_timeBar->SetKeyMarks({});
    m_timeBar->Rewind();
    m_lastStepTime = -1.0;
    if (!sameTypes && m_comparing)
        SetComparing(false); // the old list's history is gone
    if (!m_document.IsReadOnly())
        m_renderWindow->SetFixedSize({}, {});
    ButtonStates();
    m_keyframeEditors->HideAll();
    WriteStatus(); // the idle loop may be resting
    if (!sameTypes) {
        // The old list's indices mean other types now.
        m_floatLink.Bind(nullptr, -1, {}, FXVariable());
        m_colourLink.Bind(nullptr, -1, {}, FXVariable());
        m_vector3Link.Bind(nullptr, -1, {}, FXVariable());
    }
    if (selected != -1)
        m_typeTree->Select(selected);
}

void SparvView::OnPropertyChanged(int typeIndex, const QString& name) {
    UpdateTimeBarLength();
    const std::string property = name.toStdString();
    m_typeTree->RefreshProperty(m_document, typeIndex, property);
    // The keyframe editor shows what the property holds now.
    if (m_floatLink.IsBoundTo(typeIndex, property))
        m_floatLink.Refresh();
    if (m_colourLink.IsBoundTo(typeIndex, property))
        m_colourLink.Refresh();
    if (m_vector3Link.IsBoundTo(typeIndex, property))
        m_vector3Link.Refresh();
    SelectedProperty selected;
    if (ReadSelectedProperty(selected) && selected.typeIndex == typeIndex &&
        selected.property.name == property) {
        UpdateKeyMarks(selected);
        RefreshPanel();
    }
}

void SparvView::OnPlaybackChanged(SparvPlayback::Change change) {
    if (change == SparvPlayback::Change::Restarted)
        m_frameRateClock.invalidate(); // measured afresh for every start
    WriteStatus();
    switch (change) {
    case SparvPlayback::Change::Stopped:
    case SparvPlayback::Change::State:
        ButtonStates();
        break;
    case SparvPlayback::Change::Looped:
        m_timeBar->Rewind();
        break;
    case SparvPlayback::Change::Restarted:
        break;
    case SparvPlayback::Change::Speed: {
        const QSignalBlocker blocker(m_speedBox);
        m_speedBox->setCurrentIndex(m_playback.SpeedIndex());
        emit CommandStatesChanged();
        break;
    }
    }
}

void SparvView::UpdateTimeBarLength() {
    const FXType* main = m_document.TypeAt(0);
    if (!main) {
        m_timeBar->SetLength(0.0f);
        return;
    }
    const float duration = main->GetDuration();
    if (!(duration >= SparvLoop::kEndless)) {
        m_timeBar->SetLength(duration);
        return;
    }
    // The document's own types first: they hold the edits.
    const float period = SparvLoop::Period(*main, [this](const std::string& name) -> const FXType* {
        for (int i = 0; i < m_document.TypeCount(); ++i)
            if (FXLowerCase(m_document.TypeAt(i)->GetName().c_str()) == FXLowerCase(name.c_str()))
                return m_document.TypeAt(i);
        FXManager* manager = FXManager::Instance();
        return manager ? manager->TypeFind(name.c_str()) : nullptr;
    });
    if (period > 0.0f)
        m_timeBar->SetLoopPeriod(period);
    else
        m_timeBar->SetLength(0.0f); // endless with no loop to show: the bar stays full
}

// ---- frame --------------------------------------------------------------------------------

void SparvView::Frame(float dt) {
    if (m_held)
        return;
    m_renderWindow->CameraInput();
    const float step = m_playback.IsPaused() ? 0.0f : dt;
    m_renderWindow->Frame(step);
    if (m_playback.IsPlaying())
        m_playback.Advanced(step, false);
    m_timeBar->Advance(step, !m_playback.IsPlaying());
    ++m_framesCounted;
    if (!m_frameRateClock.isValid()) {
        m_frameRateClock.start();
    } else if (const qint64 elapsed = m_frameRateClock.elapsed(); elapsed >= 1000) {
        m_frameRate = 1000.0 * m_framesCounted / static_cast<double>(elapsed);
        m_framesCounted = 0;
        m_frameRateClock.restart();
    }
    WriteStatus();
}

void SparvView::WriteStatus() {
    FXStats stats{};
    if (FXManager* manager = FXManager::Instance())
        manager->GetStats(stats);
    if (m_timeBar->Looping())
        m_statusLine->SetText(1, SparvFormat::Fixed(m_timeBar->CurrentTime(), 1) +
                                     QStringLiteral(" s, loop ") +
                                     QString::number(m_timeBar->Loop()));
    else
        m_statusLine->SetText(1, SparvFormat::Fixed(m_timeBar->CurrentTime(), 1, 2) +
                                     QLatin1Char('s'));
    m_statusLine->SetText(2, QStringLiteral("count = %1 / %2").arg(stats[2]).arg(stats[3]));
    m_statusLine->SetText(3, QStringLiteral("scale is 1 cell = ") +
                                 SparvFormat::Fixed(m_renderWindow->GridCellSize(), 2, 1) +
                                 QStringLiteral(" meter"));
    m_statusLine->SetText(4, QStringLiteral("camera distance = ") +
                                 SparvFormat::General(m_renderWindow->Camera().GetDistance()));
    QStringList note;
    if (m_document.IsReadOnly())
        note << QStringLiteral("review snapshot, read-only");
    if (m_playback.SpeedIndex() != SparvPlayback::kNormalSpeed)
        note << QStringLiteral("speed ") +
                    QString::fromLatin1(kSpeedNames[static_cast<size_t>(m_playback.SpeedIndex())]) +
                    QStringLiteral(" \u00d7");
    if (m_playback.IsPlaying() && m_frameRate > 0.0)
        note << SparvFormat::Fixed(m_frameRate, 0) + QStringLiteral(" fps");
    m_statusLine->SetNote(note.join(QStringLiteral("    ")));
}

// ---- playback -----------------------------------------------------------------------------

void SparvView::PlayButtonAction() {
    MakeContextCurrent();
    switch (m_playback.State()) {
    case SparvPlayback::kStopped:
        m_playback.Play();
        break;
    case SparvPlayback::kPlaying:
        m_playback.Pause();
        break;
    default:
        m_playback.Resume();
        break;
    }
    ButtonStates();
}

void SparvView::StopButtonAction() {
    MakeContextCurrent();
    m_playback.Stop();
    m_timeBar->Rewind();
    ButtonStates();
}

void SparvView::ButtonStates() {
    const bool stopped = m_playback.IsStopped();
    const bool hasEffect = m_document.TypeAt(0) != nullptr;
    m_stepBackButton->setEnabled(hasEffect);
    m_stepButton->setEnabled(hasEffect);
    m_playButton->setText(m_playback.IsPlaying() ? QStringLiteral("Pause")
                                                 : QStringLiteral("Play"));
    m_stopButton->setEnabled(!stopped);
    // Types are edited only while playback is stopped.
    m_typeTree->setEnabled(stopped);
    m_propertyPanel->setEnabled(stopped);
    emit CommandStatesChanged();
}

// ---- messages from the panes --------------------------------------------------------------

bool SparvView::ReadSelectedProperty(SelectedProperty& out) const {
    const int selected = m_typeTree->SelectedData();
    if (selected == -1)
        return false;
    out.typeIndex = selected >> 16;
    out.propertyIndex = selected & 0xFFFF;
    const FXType* type = m_document.TypeAt(out.typeIndex);
    if (!type || !type->GetProperty(out.propertyIndex, out.property))
        return false;
    const VarType kind = out.property.value.GetType();
    out.oneKey = IsPlainArrayKind(kind);
    if (out.oneKey) {
        out.available = PlainArrayElement(out.property.value, m_timeBar->CurrentKey(), out.value);
    } else {
        out.value = out.property.value;
        // Time-keyed arrays have no panel value; they go to the keyframe editors.
        out.available = !FXVariable::IsArrayKind(kind);
    }
    return true;
}

void SparvView::UpdateKeyMarks(const SelectedProperty& selected) {
    std::vector<SparvTime::KeyMark> marks;
    if (selected.oneKey) {
        const int count = static_cast<int>(selected.property.value.Count());
        for (int key = 0; key < count; ++key)
            marks.push_back({key, count == 1 ? 0 : (key * 100 + (count - 1) / 2) / (count - 1)});
    }
    m_timeBar->SetKeyMarks(std::move(marks));
}

void SparvView::OnSelectionChanged() {
    SelectedProperty selected;
    if (!ReadSelectedProperty(selected))
        return;
    m_keyframeEditors->HideAll();
    UpdateKeyMarks(selected);
    const VarType kind = selected.property.value.GetType();
    const int typeIndex = selected.typeIndex;
    const std::string& name = selected.property.name;
    const FXVariable& value = selected.property.value;
    if (kind == VARTYPE_ARRAY_TIMEFLOAT) {
        m_propertyPanel->Clear();
        m_keyframeEditors->ShowEditor(SparvKeyframeEditors::kTimeValue, true);
        m_floatLink.Bind(&m_document, typeIndex, name, value);
        m_keyframeEditors->AttachFloat(&m_floatLink);
    } else if (kind == VARTYPE_ARRAY_TIMECOLOUR) {
        m_propertyPanel->Clear();
        m_keyframeEditors->ShowEditor(SparvKeyframeEditors::kColour, true);
        m_colourLink.Bind(&m_document, typeIndex, name, value);
        m_keyframeEditors->AttachColour(&m_colourLink);
    } else if (kind == VARTYPE_ARRAY_TIMEVECTOR3) {
        m_propertyPanel->Clear();
        m_keyframeEditors->ShowEditor(SparvKeyframeEditors::kVector3, true);
        m_vector3Link.Bind(&m_document, typeIndex, name, value);
        m_keyframeEditors->AttachVector3(&m_vector3Link);
    } else {
        m_propertyPanel->Show(selected.typeIndex, selected.property.name, selected.value,
                              selected.oneKey, selected.available);
    }
    m_statusLine->SetText(0, QString::fromStdString(selected.property.description));
}

void SparvView::RefreshPanel() {
    SelectedProperty selected;
    if (!ReadSelectedProperty(selected))
        return;
    // Time-keyed arrays are shown by their keyframe editor.
    if (FXVariable::IsArrayKind(selected.property.value.GetType()) && !selected.oneKey)
        return;
    m_propertyPanel->Refresh(selected.typeIndex, selected.property.name, selected.value,
                             selected.oneKey, selected.available);
}

void SparvView::OnTimeScrubbed(float /*oldTime*/, float step) {
    if (step == 0.0f)
        return;
    MakeContextCurrent();
    if (step > 0.0f) {
        // Forward: a held instance, advanced by the drag.
        if (m_playback.IsStopped()) {
            m_playback.Play();
            m_playback.Pause();
        }
        m_renderWindow->Frame(step);
        m_playback.Advanced(step, false);
    } else {
        // Backward: rebuilt from time 0 and jumped forward to the bar's time (within one
        // loop of a looping effect).
        if (!m_playback.IsStopped())
            m_playback.Stop();
        m_playback.Play();
        m_playback.Pause();
        const float time = m_timeBar->CurrentTime();
        m_renderWindow->Frame(time);
        m_playback.Advanced(time, false);
    }
    ButtonStates();
    // The current key may have moved: a plain array shows its element there.
    RefreshPanel();
}

void SparvView::OnSetValue(int typeIndex, const QString& name, const FXVariable& value,
                           bool allKeys) {
    PropertyEdit edit;
    edit.typeIndex = typeIndex;
    edit.name = name.toStdString();
    edit.value = value;
    edit.scope = allKeys ? PropertyEdit::Scope::AllKeys : PropertyEdit::Scope::Key;
    edit.key = m_timeBar->CurrentKey();
    QString reason;
    if (m_document.ApplyPropertyChange(edit, &reason) == SparvDoc::EditResult::Refused)
        m_statusLine->SetText(0, QStringLiteral("%1 was not changed: %2").arg(name, reason));
}

// ---- commands -----------------------------------------------------------------------------

bool SparvView::OnCommand(int id) {
    FXPreview& preview = m_renderWindow->Preview();
    switch (id) {
    case SparvCommand::PlayButton:
        PlayButtonAction();
        return true;
    case SparvCommand::StopButton:
        StopButtonAction();
        return true;
    case SparvCommand::StopPlayback:
        if (m_stopButton->isEnabled())
            StopButtonAction();
        return true;
    case SparvCommand::BackgroundColour:
        BackgroundColourDialog();
        return true;
    case SparvCommand::GridXZ:
        preview.gridXZ = !preview.gridXZ;
        m_renderWindow->update(); // the idle loop may be resting
        return true;
    case SparvCommand::GridXY:
        preview.gridXY = !preview.gridXY;
        m_renderWindow->update();
        return true;
    case SparvCommand::ShowModel:
        m_renderWindow->SetShowModel(!m_renderWindow->ShowModel());
        return true;
    case SparvCommand::Statgraph:
    case SparvCommand::Wireframe:
        return true;
    case SparvCommand::FixRandom:
        m_playback.SetFixRandom(!m_playback.FixRandom());
        return true;
    case SparvCommand::ChooseModel:
        ChooseModelDialog();
        return true;
    case SparvCommand::SpeedSlower:
        m_playback.SetSpeedIndex(m_playback.SpeedIndex() - 1);
        return true;
    case SparvCommand::SpeedFaster:
        m_playback.SetSpeedIndex(m_playback.SpeedIndex() + 1);
        return true;
    case SparvCommand::SpeedNormal:
        m_playback.SetSpeedIndex(SparvPlayback::kNormalSpeed);
        return true;
    case SparvCommand::StepForward:
    case SparvCommand::StepBack:
        Step(id == SparvCommand::StepForward ? 1 : -1);
        return true;
    case SparvCommand::CompareWithBefore:
        SetComparing(!m_comparing);
        return true;
    case SparvCommand::PreviousProperty:
    case SparvCommand::NextProperty:
        // Selecting a property puts the focus into its editor: from there the keys go on
        // walking through the tree.
        if (m_typeTree->isEnabled() && m_propertyPanel->isAncestorOf(QApplication::focusWidget())) {
            m_typeTree->MoveSelection(id == SparvCommand::PreviousProperty);
            return true;
        }
        return false;
    default:
        if (id >= SparvCommand::SpeedFirst && id <= SparvCommand::SpeedLast) {
            m_playback.SetSpeedIndex(id - SparvCommand::SpeedFirst);
            return true;
        }
        return false;
    }
}

bool SparvView::OnUpdateCommand(int id, SparvCommandState& state) {
    const FXPreview& preview = m_renderWindow->Preview();
    if (id >= SparvCommand::SpeedFirst && id <= SparvCommand::SpeedLast) {
        state.checked = m_playback.SpeedIndex() == id - SparvCommand::SpeedFirst;
        return true;
    }
    switch (id) {
    case SparvCommand::SpeedSlower:
        state.enabled = m_playback.SpeedIndex() > 0;
        return true;
    case SparvCommand::SpeedFaster:
        state.enabled =
            m_playback.SpeedIndex() + 1 < static_cast<int>(SparvPlayback::kSpeeds.size());
        return true;
    case SparvCommand::SpeedNormal:
        return true;
    case SparvCommand::StepForward:
    case SparvCommand::StepBack:
        state.enabled = m_document.TypeAt(0) != nullptr;
        return true;
    case SparvCommand::CompareWithBefore:
        state.enabled = m_document.TypeAt(0) != nullptr;
        state.checked = m_comparing;
        return true;
    case SparvCommand::GridXZ:
        state.checked = preview.gridXZ;
        return true;
    case SparvCommand::GridXY:
        state.checked = preview.gridXY;
        return true;
    case SparvCommand::ShowModel:
        state.checked = m_renderWindow->ShowModel();
        return true;
    case SparvCommand::Statgraph:
        state.checked = true;
        return true;
    case SparvCommand::Wireframe:
        state.checked = false;
        return true;
    case SparvCommand::FixRandom:
        state.checked = m_playback.FixRandom();
        return true;
    case SparvCommand::StopPlayback:
    case SparvCommand::BackgroundColour:
    case SparvCommand::ChooseModel:
        return true;
    default:
        return false;
    }
}

void SparvView::BackgroundColourDialog() {
    FXRendererGL& renderer = m_renderWindow->Renderer();
    const Colour current = *renderer.GetClearColour();
    const QColor initial(static_cast<int>(current.r * 255.0f), static_cast<int>(current.g * 255.0f),
                         static_cast<int>(current.b * 255.0f));
    const QColor chosen = SparvPrompts::Current().ChooseColour(window(), initial,
                                                               QStringLiteral("Background Colour"));
    if (!chosen.isValid())
        return;
    renderer.SetClearColour({static_cast<float>(chosen.red()) / 255.0f,
                             static_cast<float>(chosen.green()) / 255.0f,
                             static_cast<float>(chosen.blue()) / 255.0f, current.a});
    m_renderWindow->update();
}

void SparvView::ChooseModelDialog() {
    SparvDlgModel dialog(window());
    dialog.SetPath(m_renderWindow->ModelName());
    if (dialog.exec() == QDialog::Accepted)
        m_renderWindow->SetModel(dialog.Path());
}

// ---- reviewing ----------------------------------------------------------------------------

void SparvView::OnSpeedChosen(int index) {
    m_playback.SetSpeedIndex(index);
    m_renderWindow->setFocus(Qt::OtherFocusReason);
}

double SparvView::ReplayTime(double seconds) const {
    if (!m_timeBar->Looping() || seconds <= kMaxReplaySeconds)
        return seconds;
    const double period = m_timeBar->Length();
    return seconds - period * std::ceil((seconds - kMaxReplaySeconds) / period);
}

void SparvView::ShowMoment(double seconds, bool newRun) {
    if (!m_document.TypeAt(0))
        return;
    seconds = std::max(seconds, 0.0);
    MakeContextCurrent();
    m_playback.StartHeld(newRun);
    // As a headless view reaches the moment: a frame of every step, the flares' fade-in
    // started with the effect.
    m_renderWindow->SetDisplayTime(0.0f);
    const long steps = FXReviewStepCount(seconds);
    const auto step = static_cast<float>(seconds / static_cast<double>(steps));
    for (long i = 0; i < steps; ++i)
        m_renderWindow->Frame(step);
    m_playback.Advanced(seconds, true);
    m_timeBar->SetTime(seconds);
    ButtonStates();
    WriteStatus();
    RefreshPanel();
}

void SparvView::Step(int direction) {
    if (!m_document.TypeAt(0))
        return;
    const bool newRun = m_playback.IsStopped();
    if (newRun || m_playback.Time() != m_lastStepTime) {
        m_stepOrigin = newRun ? 0.0 : m_playback.Time();
        m_stepIndex = 0;
    }
    m_stepIndex += direction;
    double seconds = m_stepOrigin + m_stepIndex * SparvPlayback::kFrameStep;
    if (seconds < 0.0) {
        m_stepOrigin = 0.0;
        m_stepIndex = 0;
        seconds = 0.0;
    }
    if (const double replay = ReplayTime(seconds); replay != seconds) {
        m_stepOrigin = replay;
        m_stepIndex = 0;
        seconds = replay;
    }
    ShowMoment(seconds, newRun);
    m_lastStepTime = m_playback.Time();
}

void SparvView::SetComparing(bool comparing) {
    if (comparing == m_comparing)
        return;
    m_comparing = comparing;
    if (comparing) {
        RefreshCompare();
    } else {
        MakeContextCurrent();
        m_renderWindow->SetCompare(nullptr, {}, {});
        m_playback.EndCompare();
        m_compareEdits->hide();
        m_renderWindow->Redraw();
    }
    emit CommandStatesChanged();
}

int SparvView::CompareEdits() const {
    return std::min(m_compareEditsWanted, m_document.UndoableEdits());
}

void SparvView::SetCompareEdits(int edits) {
    edits = std::max(1, edits);
    if (edits == m_compareEditsWanted)
        return;
    m_compareEditsWanted = edits;
    if (m_comparing)
        RefreshCompare();
}

void SparvView::RefreshCompare() {
    MakeContextCurrent();
    const int edits = CompareEdits();
    m_playback.CompareWith(m_document.TypesBefore(edits));
    const QString before = edits == 0   ? QStringLiteral("Before: no edit to compare with")
                           : edits == 1 ? QStringLiteral("Before the last edit")
                                        : QStringLiteral("Before the last %1 edits").arg(edits);
    m_renderWindow->SetCompare(m_playback.Before(), before, QStringLiteral("Now"));
    {
        const QSignalBlocker blocker(m_compareEdits);
        m_compareEdits->setRange(1, std::max(1, m_document.UndoableEdits()));
        m_compareEdits->setValue(std::max(1, edits));
        m_compareEdits->setSuffix(edits == 1 ? QStringLiteral(" edit") : QStringLiteral(" edits"));
    }
    m_compareEdits->setEnabled(m_document.UndoableEdits() > 1);
    m_compareEdits->show();
    if (!m_playback.IsStopped()) {
        // An effect on show: both versions rebuilt to its moment from the same seed, so
        // each half is what that version alone would show; then on as before.
        const bool playing = m_playback.IsPlaying();
        ShowMoment(ReplayTime(m_playback.Time()), false);
        if (playing)
            m_playback.Resume();
        ButtonStates();
    } else {
        m_renderWindow->Redraw();
    }
}

FXReviewScene SparvView::CurrentScene() const {
    FXReviewScene scene;
    scene.seed = m_playback.IsStopped() && m_playback.FixRandom() ? m_playback.FixedSeed()
                                                                  : m_playback.Seed();
    const FXOrbitCamera& camera = m_renderWindow->Camera();
    scene.camera.yaw = camera.GetYaw();
    scene.camera.pitch = camera.GetPitch();
    scene.camera.distance = camera.GetDistance();
    scene.camera.target = camera.GetTarget();
    const Colour background = *m_renderWindow->Renderer().GetClearColour();
    scene.background = {background.r, background.g, background.b, 1.0f};
    scene.gridXZ = m_renderWindow->Preview().gridXZ;
    scene.gridXY = m_renderWindow->Preview().gridXY;
    scene.gravity = *FXGetGravity();
    scene.wind = *FXGetWind();
    scene.placement.transform = m_playback.EmitterTransform();
    scene.placement.scale = m_playback.EmitterScale();
    scene.placement.length = m_playback.EmitterLength();
    scene.placement.velocity = m_playback.EmitterVelocity();
    return scene;
}

void SparvView::ApplyScene(const FXReviewScene& scene, const QSize& size) {
    FXOrbitCamera& camera = m_renderWindow->Camera();
    camera.SetYaw(scene.camera.yaw);
    camera.SetPitch(scene.camera.pitch);
    camera.SetDistance(scene.camera.distance);
    camera.SetTarget(scene.camera.target);
    FXRendererGL& renderer = m_renderWindow->Renderer();
    renderer.SetClearColour(
        {scene.background.r, scene.background.g, scene.background.b, renderer.GetClearColour()->a});
    m_renderWindow->Preview().gridXZ = scene.gridXZ;
    m_renderWindow->Preview().gridXY = scene.gridXY;
    FXSetGravity(scene.gravity);
    FXSetWind(scene.wind);
    m_playback.SetEmitter(scene.placement.transform, scene.placement.scale, scene.placement.length,
                          scene.placement.velocity);
    m_playback.SetFixRandom(true);
    m_playback.SetFixedSeed(scene.seed);
    if (!size.isEmpty())
        m_renderWindow->SetFixedSize(
            size, QStringLiteral("Review snapshot %1 x %2").arg(size.width()).arg(size.height()));
    emit CommandStatesChanged();
}

void SparvView::SetHeld(bool held) {
    if (held == m_held)
        return;
    m_held = held;
    m_renderWindow->SetHeld(held);
    // A repaint of the main window would make its GL context current under the job's.
    window()->setUpdatesEnabled(!held);
    if (!held) {
        MakeContextCurrent();
        emit FramesWanted();
    }
}
