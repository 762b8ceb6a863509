#include "shell/SparvAttr.h"

#include "definitions/FXType.h"
#include "shell/FxAccelHook.h"
#include "shell/SparvDoc.h"

#include <QHeaderView>
#include <QPainter>
#include <QPainterPath>
#include <QResizeEvent>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <algorithm>

namespace {

constexpr int kDataRole = Qt::UserRole;

// The two 16 x 16 icons, drawn at 1x and 2x so they stay sharp on high-density screens:
// a type is a burst of light, a property a small value slider.
QIcon DrawIcon(void (*draw)(QPainter&)) {
    QIcon icon;
    for (const int scale : {1, 2}) {
        QPixmap pixmap(16 * scale, 16 * scale);
        pixmap.setDevicePixelRatio(scale);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        draw(painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

void DrawTypeIcon(QPainter& painter) {
    painter.setPen(QPen(QColor(214, 120, 20), 1.5));
    for (int ray = 0; ray < 8; ++ray) {
        painter.save();
        painter.translate(8.0, 8.0);
        painter.rotate(45.0 * ray);
        painter.drawLine(QPointF(0.0, 3.5), QPointF(0.0, ray % 2 ? 6.0 : 7.5));
        painter.restore();
    }
    QRadialGradient glow(QPointF(7.0, 7.0), 4.5);
    glow.setColorAt(0.0, QColor(255, 245, 190));
    glow.setColorAt(1.0, QColor(245, 150, 30));
    painter.setPen(QPen(QColor(160, 80, 10), 1.0));
    painter.setBrush(glow);
    painter.drawEllipse(QPointF(8.0, 8.0), 3.5, 3.5);
}

void DrawPropertyIcon(QPainter& painter) {
    painter.setPen(QPen(QColor(70, 90, 120), 1.0));
    painter.setBrush(QColor(225, 232, 242));
    painter.drawRoundedRect(QRectF(1.5, 3.5, 13.0, 9.0), 2.0, 2.0);
    painter.setPen(QPen(QColor(70, 90, 120), 1.5));
    painter.drawLine(QPointF(4.0, 8.0), QPointF(12.0, 8.0));
    painter.setBrush(QColor(60, 130, 210));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QPointF(9.0, 8.0), 2.2, 2.2);
}

const QIcon& TypeIcon() {
    static const QIcon icon = DrawIcon(DrawTypeIcon);
    return icon;
}

const QIcon& PropertyIcon() {
    static const QIcon icon = DrawIcon(DrawPropertyIcon);
    return icon;
}

int DataOf(const QTreeWidgetItem* item) {
    return item ? item->data(0, kDataRole).toInt() : -1;
}

// The name of the type a string property spawns, or empty when its value names none of the
// type's child types.
std::string SpawnedTypeName(const FXType& type, const FXProperty& property) {
    if (property.value.GetType() != VARTYPE_STRING)
        return {};
    const std::string text = property.value.String();
    if (text.empty())
        return {};
    std::vector<std::string> children;
    type.GetChildTypes(children);
    const std::string lower = FXLowerCase(text.c_str());
    for (const std::string& child : children)
        if (FXLowerCase(child.c_str()) == lower)
            return text;
    return {};
}

} // namespace

SparvAttr::SparvAttr(QWidget* parent) : QWidget(parent), m_tree(new QTreeWidget(this)) {
    setObjectName(QStringLiteral("SparvAttr"));
    setMinimumSize(0, 0);
    m_tree->setObjectName(QStringLiteral("SparvAttrTree"));
    m_tree->setHeaderHidden(true);
    m_tree->setColumnCount(1);
    m_tree->setRootIsDecorated(true);
    m_tree->setUniformRowHeights(true);
    m_tree->setSelectionMode(QAbstractItemView::SingleSelection);
    m_tree->setDragDropMode(QAbstractItemView::NoDragDrop);
    m_tree->setIconSize(QSize(16, 16));
    // Rows as wide as the pane, so the selection shows across it; long labels scroll.
    m_tree->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    m_tree->header()->setStretchLastSection(true);
    connect(m_tree, &QTreeWidget::currentItemChanged, this, [this] {
        if (SelectedData() != -1)
            emit SelectionChanged();
    });
    m_hook = std::make_unique<FxAccelHook>(m_tree, this, this);
}

SparvAttr::~SparvAttr() = default;

void SparvAttr::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    m_tree->setGeometry(rect().adjusted(2, 2, -2, -2));
}

void SparvAttr::Clear() {
    const QSignalBlocker blocker(m_tree);
    m_tree->clear();
}

void SparvAttr::Fill(SparvDoc& document) {
    Clear();
    const FXType* main = document.TypeAt(0);
    if (!main)
        return;
    const QSignalBlocker blocker(m_tree);
    auto* root = new QTreeWidgetItem(m_tree, {QString::fromStdString(main->GetName())});
    root->setIcon(0, TypeIcon());
    root->setData(0, kDataRole, -1);
    std::vector<int> ancestors;
    FillItem(root, document, 0, ancestors);
    // The first level in alphabetical order, case ignored; nested types keep their
    // property order.
    QList<QTreeWidgetItem*> children = root->takeChildren();
    std::stable_sort(children.begin(), children.end(),
                     [](const QTreeWidgetItem* a, const QTreeWidgetItem* b) {
                         return a->text(0).compare(b->text(0), Qt::CaseInsensitive) < 0;
                     });
    root->addChildren(children);
    root->setExpanded(true);
}

void SparvAttr::FillItem(QTreeWidgetItem* item, SparvDoc& document, int typeIndex,
                         std::vector<int>& ancestors) {
    qDeleteAll(item->takeChildren());
    const FXType* type = document.TypeAt(typeIndex);
    if (!type)
        return;
    ancestors.push_back(typeIndex);
    FXPropertyList properties;
    type->GetProperties(properties);
    const int count = static_cast<int>(properties.size());
    for (int i = 0; i < count; ++i) {
        auto* child = new QTreeWidgetItem(item);
        child->setIcon(0, PropertyIcon());
        child->setData(0, kDataRole, ItemData(typeIndex, i));
        FillPropertyItem(child, document, typeIndex, i, ancestors);
    }
    ancestors.pop_back();
}

void SparvAttr::FillPropertyItem(QTreeWidgetItem* item, SparvDoc& document, int typeIndex,
                                 int propertyIndex, std::vector<int>& ancestors) {
    qDeleteAll(item->takeChildren());
    FXProperty property;
    if (!document.TypeAt(typeIndex)->GetProperty(propertyIndex, property))
        return;
    QString label = QString::fromStdString(property.name);
    const std::string spawned = SpawnedTypeName(*document.TypeAt(typeIndex), property);
    // Loading a type may add it to the document's list: the type pointer is read anew.
    const int child = spawned.empty() ? -1 : document.FindOrLoadType(spawned.c_str());
    if (child >= 0) {
        label += QStringLiteral(" (") + QString::fromStdString(spawned) + QLatin1Char(')');
        // An effect that spawns itself, directly or through others, is shown once.
        if (std::find(ancestors.begin(), ancestors.end(), child) == ancestors.end())
            FillItem(item, document, child, ancestors);
    }
    item->setText(0, label);
}

int SparvAttr::SelectedData() const {
    return DataOf(m_tree->currentItem());
}

bool SparvAttr::Select(int itemData) {
    for (QTreeWidgetItemIterator it(m_tree); *it; ++it) {
        if (DataOf(*it) == itemData) {
            m_tree->setCurrentItem(*it);
            return true;
        }
    }
    return false;
}

bool SparvAttr::SelectLabelPath(const QString& path) {
    QTreeWidgetItem* item = m_tree->topLevelItem(0);
    for (const QString& label : path.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        QTreeWidgetItem* next = nullptr;
        for (int i = 0; item && i < item->childCount() && !next; ++i)
            if (item->child(i)->text(0) == label)
                next = item->child(i);
        item = next;
    }
    if (!item || DataOf(item) == -1)
        return false;
    m_tree->setCurrentItem(item);
    return true;
}

void SparvAttr::RefreshProperty(SparvDoc& document, int typeIndex, const std::string& name) {
    const FXType* type = document.TypeAt(typeIndex);
    if (!type)
        return;
    FXPropertyList properties;
    type->GetProperties(properties);
    const auto property =
        std::find_if(properties.begin(), properties.end(),
                     [&](const FXProperty& candidate) { return candidate.name == name; });
    if (property == properties.end() || property->value.GetType() != VARTYPE_STRING)
        return;
    const auto propertyIndex = static_cast<int>(std::distance(properties.begin(), property));
    const int itemData = ItemData(typeIndex, propertyIndex);
    std::vector<QTreeWidgetItem*> items;
    for (QTreeWidgetItemIterator it(m_tree); *it; ++it)
        if (DataOf(*it) == itemData)
            items.push_back(*it);
    const QSignalBlocker blocker(m_tree);
    for (QTreeWidgetItem* item : items) {
        std::vector<int> ancestors;
        for (const QTreeWidgetItem* up = item->parent(); up && DataOf(up) != -1; up = up->parent())
            ancestors.insert(ancestors.begin(), DataOf(up) >> 16);
        ancestors.push_back(typeIndex);
        ancestors.insert(ancestors.begin(), 0);
        FillPropertyItem(item, document, typeIndex, propertyIndex, ancestors);
    }
}

void SparvAttr::MoveSelection(bool up) {
    QTreeWidgetItem* item = m_tree->currentItem();
    while (item && item->parent()) {
        QTreeWidgetItem* parent = item->parent();
        const int index = parent->indexOfChild(item) + (up ? -1 : 1);
        if (index >= 0 && index < parent->childCount()) {
            m_tree->setCurrentItem(parent->child(index));
            return;
        }
        item = parent;
    }
}

bool SparvAttr::OnCommand(int id) {
    if (id != SparvCommand::PreviousProperty && id != SparvCommand::NextProperty)
        return false;
    MoveSelection(id == SparvCommand::PreviousProperty);
    return true;
}
