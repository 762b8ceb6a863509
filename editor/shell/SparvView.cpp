#include "shell/SparvView.h"

#include "runtime/FXManager.h"
#include "shell/RenderWindow.h"
#include "shell/SparvDoc.h"
#include "shell/SparvFormat.h"
#include "shell/SparvKeyframeEditors.h"
#include "shell/SparvPrompts.h"
#include "shell/SparvStatusLine.h"
#include "shell/SparvTime.h"
#include "widgets/SparvDlgModel.h"

#include <QFontDatabase>
#include <QPushButton>
#include <QResizeEvent>
#include <QSplitter>
#include <algorithm>

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

QWidget* NewPlaceholderPane(const QString& name, QWidget* parent) {
    auto* pane = new QWidget(parent);
    pane->setObjectName(name);
    pane->setMinimumSize(0, 0);
    return pane;
}

} // namespace

SparvView::SparvView(SparvDoc& document, QWidget* parent) : QWidget(parent), m_document(document) {
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
    m_typeTree = NewPlaceholderPane(QStringLiteral("SparvAttr"), m_rightColumn);
    m_propertyPanel = NewPlaceholderPane(QStringLiteral("SparvProp"), m_rightColumn);
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

    m_timeBar = new SparvTime(this);
    m_timeBar->setObjectName(QStringLiteral("SparvTime"));
    connect(m_timeBar, &SparvTime::Scrubbed, this, &SparvView::OnTimeScrubbed);

    const QFont buttonFont = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    m_playButton = new QPushButton(QStringLiteral("Play"), this);
    m_playButton->setObjectName(QStringLiteral("Play"));
    m_stopButton = new QPushButton(QStringLiteral("Stop"), this);
    m_stopButton->setObjectName(QStringLiteral("Stop"));
    for (QPushButton* button : {m_playButton, m_stopButton}) {
        button->setFont(buttonFont);
        button->setAutoDefault(false);
        button->setFocusPolicy(Qt::NoFocus);
    }
    connect(m_playButton, &QPushButton::clicked, this,
            [this] { OnCommand(SparvCommand::PlayButton); });
    connect(m_stopButton, &QPushButton::clicked, this,
            [this] { OnCommand(SparvCommand::StopButton); });

    m_statusLine = new SparvStatusLine(this);
    m_statusLine->setObjectName(QStringLiteral("StatusLine"));

    connect(&m_document, &SparvDoc::Updated, this, &SparvView::OnDocumentUpdate);
    m_document.SetBeforeRuntimeChange([this] { MakeContextCurrent(); });
    ButtonStates();
    m_renderWindow->setFocus(Qt::OtherFocusReason);
}

SparvView::~SparvView() {
    // The document's types and the runtime go first, while the render window's context
    // can still free what they hold.
    MakeContextCurrent();
    disconnect(&m_document, nullptr, this, nullptr);
    m_document.EmptyContents();
    m_document.SetBeforeRuntimeChange({});
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
    m_statusLine->setGeometry(Edges(0, h - 20, w, h));
}

// ---- document hints -----------------------------------------------------------------------

void SparvView::InitialUpdate() {
    m_document.EnsureRuntime();
    OnDocumentUpdate(SparvDoc::kHintRestarted);
}

void SparvView::OnDocumentUpdate(int hint) {
    const FXType* main = m_document.TypeAt(0);
    switch (hint) {
    case SparvDoc::kHintNewTypes:
        m_statusLine->SetText(0, QString());
        m_timeBar->SetLength(main ? main->GetDuration() : 0.0f);
        m_timeBar->Rewind();
        ButtonStates();
        m_keyframeEditors->HideAll();
        break;
    case SparvDoc::kHintStopped:
        ButtonStates();
        break;
    case SparvDoc::kHintProperty:
        m_timeBar->SetLength(main ? main->GetDuration() : 0.0f);
        break;
    case SparvDoc::kHintLooped:
        m_timeBar->Rewind();
        break;
    default:
        break;
    }
}

// ---- frame --------------------------------------------------------------------------------

void SparvView::Frame(float dt) {
    m_renderWindow->CameraInput();
    const float step = m_document.IsPaused() ? 0.0f : dt;
    m_renderWindow->Frame(step);
    m_timeBar->Advance(step, !m_document.IsPlaying());
    WriteStatus();
}

void SparvView::WriteStatus() {
    FXStats stats{};
    if (FXManager* manager = FXManager::Instance())
        manager->GetStats(stats);
    m_statusLine->SetText(1, SparvFormat::Fixed(m_timeBar->CurrentTime(), 1, 2) + QLatin1Char('s'));
    m_statusLine->SetText(2, QStringLiteral("count = %1 / %2").arg(stats[2]).arg(stats[3]));
    m_statusLine->SetText(3, QStringLiteral("scale is 1 cell = ") +
                                 SparvFormat::Fixed(m_renderWindow->GridCellSize(), 2, 1) +
                                 QStringLiteral(" meter"));
    m_statusLine->SetText(4, QStringLiteral("camera distance = ") +
                                 SparvFormat::General(m_renderWindow->Camera().GetDistance()));
}

// ---- playback -----------------------------------------------------------------------------

void SparvView::PlayButtonAction() {
    MakeContextCurrent();
    switch (m_document.State()) {
    case SparvDoc::kStopped:
        m_document.Play();
        break;
    case SparvDoc::kPlaying:
        m_document.Pause();
        break;
    default:
        m_document.Resume();
        break;
    }
    ButtonStates();
}

void SparvView::StopButtonAction() {
    MakeContextCurrent();
    m_document.Stop();
    m_timeBar->Rewind();
    ButtonStates();
}

void SparvView::ButtonStates() {
    const bool stopped = m_document.State() == SparvDoc::kStopped;
    m_playButton->setText(m_document.IsPlaying() ? QStringLiteral("Pause")
                                                 : QStringLiteral("Play"));
    m_stopButton->setEnabled(!stopped);
    // Types are edited only while playback is stopped.
    m_typeTree->setEnabled(stopped);
    m_propertyPanel->setEnabled(stopped);
    emit CommandStatesChanged();
}

// ---- messages from the panes --------------------------------------------------------------

void SparvView::OnSelectionChanged() {
    // The type tree pane holds no selection yet: there is no property to show.
}

void SparvView::OnTimeScrubbed(float /*oldTime*/, float step) {
    if (step == 0.0f)
        return;
    MakeContextCurrent();
    if (step > 0.0f) {
        // Forward: a held instance, advanced by the drag.
        if (m_document.State() == SparvDoc::kStopped) {
            m_document.Play();
            m_document.Pause();
        }
        m_renderWindow->Frame(step);
    } else {
        // Backward: rebuilt from time 0 and jumped forward to the bar's time.
        if (m_document.State() != SparvDoc::kStopped)
            m_document.Stop();
        m_document.Play();
        m_document.Pause();
        m_renderWindow->Frame(m_timeBar->CurrentTime());
    }
    ButtonStates();
}

void SparvView::OnSetValueAtKey(int typeIndex, const std::string& name, const FXVariable& value) {
    SetValue(typeIndex, name, value, false);
}

void SparvView::OnSetValueAtAllKeys(int typeIndex, const std::string& name,
                                    const FXVariable& value) {
    SetValue(typeIndex, name, value, true);
}

namespace {

// Replaces the element at key (every element when key is -1) of a plain array; false when
// the value is not of the array's element kind or the key is out of range.
template <typename T>
bool ReplaceElements(std::vector<T>& elements, int key, const T& value) {
    if (key == -1) {
        std::fill(elements.begin(), elements.end(), value);
        return true;
    }
    if (key < 0 || static_cast<size_t>(key) >= elements.size())
        return false;
    elements[static_cast<size_t>(key)] = value;
    return true;
}

bool SetPlainArrayElements(FXVariable& array, int key, const FXVariable& value) {
    switch (array.GetType()) {
    case VARTYPE_ARRAY_FLOAT: {
        std::vector<float> elements;
        array.GetArrayFloat(elements);
        if (value.GetType() != VARTYPE_FLOAT || !ReplaceElements(elements, key, value.GetFloat()))
            return false;
        array.SetArrayFloat(elements);
        return true;
    }
    case VARTYPE_ARRAY_VECTOR3: {
        std::vector<Vector3> elements;
        Vector3 element;
        array.GetArrayVector3(elements);
        if (!value.GetVector3(element) || !ReplaceElements(elements, key, element))
            return false;
        array.SetArrayVector3(elements);
        return true;
    }
    case VARTYPE_ARRAY_COLOUR: {
        std::vector<Colour> elements;
        Colour element;
        array.GetArrayColour(elements);
        if (!value.GetColour(element) || !ReplaceElements(elements, key, element))
            return false;
        array.SetArrayColour(elements);
        return true;
    }
    default:
        return false;
    }
}

} // namespace

void SparvView::SetValue(int typeIndex, const std::string& name, const FXVariable& value,
                         bool allKeys) {
    const FXType* type = m_document.TypeAt(typeIndex);
    if (!type)
        return;
    FXPropertyList properties;
    type->GetProperties(properties);
    const auto property =
        std::find_if(properties.begin(), properties.end(),
                     [&](const FXProperty& candidate) { return candidate.name == name; });
    if (property != properties.end()) {
        const VarType kind = property->value.GetType();
        if (kind == VARTYPE_ARRAY_FLOAT || kind == VARTYPE_ARRAY_VECTOR3 ||
            kind == VARTYPE_ARRAY_COLOUR) {
            FXVariable array = property->value;
            if (SetPlainArrayElements(array, allKeys ? -1 : m_timeBar->CurrentKey(), value))
                m_document.ApplyPropertyChange(typeIndex, name.c_str(), array);
            return;
        }
    }
    m_document.ApplyPropertyChange(typeIndex, name.c_str(), value);
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
        return true;
    case SparvCommand::GridXY:
        preview.gridXY = !preview.gridXY;
        return true;
    case SparvCommand::ShowModel:
        m_renderWindow->SetShowModel(!m_renderWindow->ShowModel());
        return true;
    case SparvCommand::Statgraph:
    case SparvCommand::Wireframe:
        return true;
    case SparvCommand::FixRandom:
        m_document.SetFixRandom(!m_document.FixRandom());
        return true;
    case SparvCommand::ChooseModel:
        ChooseModelDialog();
        return true;
    default:
        return false;
    }
}

bool SparvView::OnUpdateCommand(int id, SparvCommandState& state) {
    const FXPreview& preview = m_renderWindow->Preview();
    switch (id) {
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
        state.checked = m_document.FixRandom();
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
}

void SparvView::ChooseModelDialog() {
    SparvDlgModel dialog(window());
    dialog.SetPath(m_renderWindow->ModelName());
    if (dialog.exec() == QDialog::Accepted)
        m_renderWindow->SetModel(dialog.Path());
}
