#pragma once

// The type tree in the upper right pane: the document's main type with all its
// properties and, below each property that names another FX type the type spawns, that
// type's properties in turn ("Particle_Fx (spark)"). Each property item carries
// (type index << 16) | property index, the type index counting in the document's list of
// types and the property index in the type's property list; the root carries -1.
//
// Selecting a property tells the view (SelectionChanged); Alt+Up and Alt+Down, delivered
// through the tree control's accelerator hook, move the selection through the tree.

#include "shell/SparvCommands.h"

#include <QWidget>
#include <memory>
#include <string>
#include <vector>

class FxAccelHook;
class QTreeWidget;
class QTreeWidgetItem;
class SparvDoc;

class SparvAttr : public QWidget, public SparvCommandTarget {
    Q_OBJECT

public:
    explicit SparvAttr(QWidget* parent);
    ~SparvAttr() override;

    static int ItemData(int typeIndex, int propertyIndex) {
        return (typeIndex << 16) | (propertyIndex & 0xFFFF);
    }

    // Deletes every item.
    void Clear();
    // Rebuilds the tree from the document's main type (type index 0); the first level is
    // sorted alphabetically.
    void Fill(SparvDoc& document);
    // The selected item's data, or -1 when nothing (or the root) is selected.
    int SelectedData() const;
    // Selects the first item carrying data; false when there is none.
    bool Select(int itemData);
    // Selects the item reached by labels from the root, separated by '/' ("Fx1 (flash)/
    // Duration"); false when there is none.
    bool SelectLabelPath(const QString& path);
    // After a change of a property: every item of that property whose value names a type
    // the type spawns gets that type's properties below it again (and loses them when the
    // value no longer names one).
    void RefreshProperty(SparvDoc& document, int typeIndex, const std::string& name);
    // Moves the selection to the previous or next item, climbing out of nested branches.
    void MoveSelection(bool up);

    QTreeWidget* Tree() const { return m_tree; }

    // Alt+Up and Alt+Down while the tree control has the focus.
    bool OnCommand(int id) override;

signals:
    // A property item became the selection (message 0x8001).
    void SelectionChanged();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // Fills item with the properties of the document's type typeIndex; ancestors holds the
    // types on the way from the root, so an effect that spawns itself is shown once.
    void FillItem(QTreeWidgetItem* item, SparvDoc& document, int typeIndex,
                  std::vector<int>& ancestors);
    // Labels item after its property and fills it when the property names a child type.
    void FillPropertyItem(QTreeWidgetItem* item, SparvDoc& document, int typeIndex,
                          int propertyIndex, std::vector<int>& ancestors);

    QTreeWidget* m_tree;
    std::unique_ptr<FxAccelHook> m_hook;
};
