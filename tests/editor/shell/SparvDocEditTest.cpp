// The document's one door for edits: undo, redo, merging, gestures and unsaved marks.

#include "editor/shell/ShellTestSupport.h"

#include <map>

using shell_test::ShellTest;

namespace {

using Properties = std::vector<std::pair<std::string, FXVariable>>;

class SparvDocEditTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        if (IsSkipped())
            return;
        Doc().SetClock([this] { return m_milliseconds; });
    }

    // Opens the sample explosion: a combo of four effects, some of them nested further.
    void OpenExplosion() {
        OpenSample("explosion");
        ASSERT_GT(Doc().TypeCount(), 4); // the tree loaded the types it spawns
    }
    static Properties PropertiesOf(const FXType& type) {
        FXPropertyList list;
        type.GetProperties(list);
        Properties properties;
        for (const FXProperty& property : list)
            properties.emplace_back(property.name, property.value);
        return properties;
    }
    std::vector<Properties> AllProperties(int count) {
        std::vector<Properties> all;
        for (int i = 0; i < count; ++i)
            all.push_back(PropertiesOf(*Doc().TypeAt(i)));
        return all;
    }
    int Steps() { return Doc().UndoStack().count(); }

    qint64 m_milliseconds = 0;
};

// A value of the same kind as current, random.
FXVariable RandomValueLike(const FXVariable& current, std::mt19937& random) {
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    std::uniform_real_distribution<float> wide(-2.0f, 20.0f);
    std::uniform_int_distribution<int> keyCount(2, 5);
    // Key times: 0, sorted inner times, 1.
    auto times = [&] {
        std::vector<float> t{0.0f};
        const int inner = keyCount(random) - 2;
        for (int i = 0; i < inner; ++i)
            t.push_back(unit(random));
        std::sort(t.begin(), t.end());
        t.push_back(1.0f);
        return t;
    };
    // Keys of key's kind at those times, with values from make.
    auto keys = [&](auto key, auto make) {
        std::vector<decltype(key)> result;
        for (float t : times())
            result.push_back({t, make()});
        return result;
    };
    FXVariable value;
    switch (current.GetType()) {
    case VARTYPE_FLOAT:
        value.SetFloat(wide(random));
        break;
    case VARTYPE_INT:
        value.SetInt(std::uniform_int_distribution<int>(0, 4)(random));
        break;
    case VARTYPE_BOOL:
        value.SetBool(!current.GetBool());
        break;
    case VARTYPE_VECTOR3:
        value.SetVector3({wide(random), wide(random), wide(random)});
        break;
    case VARTYPE_COLOUR:
        value.SetColour({unit(random), unit(random), unit(random), unit(random)});
        break;
    case VARTYPE_STRING: {
        static const char* const kTexts[] = {"", "dot", "spark", "Data:art/fx/smoke.tga",
                                             "nothing"};
        value.SetString(kTexts[std::uniform_int_distribution<int>(0, 4)(random)]);
        break;
    }
    case VARTYPE_ARRAY_TIMEFLOAT:
        value.SetArrayTimeFloat(keys(TimeFloat{}, [&] { return unit(random) * 5.0f; }));
        break;
    case VARTYPE_ARRAY_TIMEVECTOR3:
        value.SetArrayTimeVector3(keys(TimeVector3{}, [&] {
            return Vector3{wide(random), unit(random), wide(random)};
        }));
        break;
    case VARTYPE_ARRAY_TIMECOLOUR:
        value.SetArrayTimeColour(keys(TimeColour{}, [&] {
            return Colour{unit(random), unit(random), unit(random), unit(random)};
        }));
        break;
    default:
        value = current;
        break;
    }
    return value;
}

TEST_F(SparvDocEditTest, UndoingARandomSequenceOfEditsRestoresEveryTypeAndRedoGivesItBack) {
    OpenExplosion();
    const int typeCount = Doc().TypeCount();
    const std::vector<Properties> original = AllProperties(typeCount);

    std::mt19937 random(1234);
    int applied = 0;
    for (int edit = 0; edit < 400; ++edit) {
        m_milliseconds += std::uniform_int_distribution<int>(0, 900)(random);
        const bool gesture = edit % 7 == 0;
        if (gesture)
            Doc().BeginGesture();
        const int writes = gesture ? 3 : 1;
        for (int write = 0; write < writes; ++write) {
            const int typeIndex = std::uniform_int_distribution<int>(0, typeCount - 1)(random);
            const Properties properties = PropertiesOf(*Doc().TypeAt(typeIndex));
            const auto& [name, current] =
                properties[std::uniform_int_distribution<size_t>(0, properties.size() - 1)(random)];
            const FXVariable value = RandomValueLike(current, random);
            if (Doc().ApplyPropertyChange(PropertyEdit::Whole(typeIndex, name, value)) ==
                SparvDoc::EditResult::Applied)
                ++applied;
        }
        if (gesture)
            Doc().EndGesture();
    }
    ASSERT_GT(applied, 200);
    const std::vector<Properties> edited = AllProperties(typeCount);
    ASSERT_NE(edited, original);
    EXPECT_TRUE(Doc().IsModified());

    while (Doc().UndoStack().canUndo())
        Doc().UndoStack().undo();
    EXPECT_EQ(AllProperties(typeCount), original);
    for (int i = 0; i < Doc().TypeCount(); ++i)
        EXPECT_FALSE(Doc().IsTypeUnsaved(i)) << Doc().TypeAt(i)->GetName();
    EXPECT_FALSE(Doc().IsModified());

    while (Doc().UndoStack().canRedo())
        Doc().UndoStack().redo();
    EXPECT_EQ(AllProperties(typeCount), edited);

    // Back to the start and saved: the file reads back as the original did.
    while (Doc().UndoStack().canUndo())
        Doc().UndoStack().undo();
    ASSERT_TRUE(Doc().SaveAs(QStringLiteral("roundtrip")).Succeeded());
    const std::shared_ptr<FXType> reread = FXManager::Instance()->TypeLoad("roundtrip");
    ASSERT_NE(reread, nullptr);
    EXPECT_EQ(PropertiesOf(*reread), original[0]);
}

TEST_F(SparvDocEditTest, AGestureIsOneStepAndQuickRepeatsOfOnePropertyMerge) {
    OpenSpark();
    const float original = GetFloat(0, "Duration");

    // A drag: fifty writes, one step, undone exactly.
    Doc().BeginGesture();
    for (int i = 1; i <= 50; ++i)
        SetFloat(0, "Duration", 1.0f + 0.01f * static_cast<float>(i));
    Doc().EndGesture();
    EXPECT_EQ(Steps(), 1);
    EXPECT_EQ(Doc().UndoStack().undoText(), QStringLiteral("Change Duration"));
    Doc().UndoStack().undo();
    EXPECT_EQ(GetFloat(0, "Duration"), original);
    EXPECT_FALSE(Doc().IsModified());
    Doc().UndoStack().redo();
    EXPECT_FLOAT_EQ(GetFloat(0, "Duration"), 1.5f);
    Doc().UndoStack().undo();

    // A drag that ends where it began leaves nothing to undo and nothing unsaved.
    Doc().BeginGesture();
    SetFloat(0, "Duration", 3.0f);
    SetFloat(0, "Duration", original);
    Doc().EndGesture();
    EXPECT_FALSE(Doc().UndoStack().canUndo());
    EXPECT_FALSE(Doc().IsTypeUnsaved(0));

    // Enter held down: edits within the merge window are one step, a later one is not.
    SetFloat(0, "Duration", 2.0f);
    m_milliseconds += 100;
    SetFloat(0, "Duration", 3.0f);
    m_milliseconds += SparvDoc::kMergeMilliseconds + 1;
    SetFloat(0, "Duration", 4.0f);
    EXPECT_EQ(Doc().UndoStack().count(), 2);
    Doc().UndoStack().undo();
    EXPECT_EQ(GetFloat(0, "Duration"), 3.0f);
    Doc().UndoStack().undo();
    EXPECT_EQ(GetFloat(0, "Duration"), original);

    // What the type refuses (out of range, not a number) pushes nothing.
    const int steps = Steps();
    QString reason;
    FXVariable value;
    value.SetFloat(-1.0f);
    EXPECT_EQ(Doc().ApplyPropertyChange(PropertyEdit::Whole(0, "Duration", value), &reason),
              SparvDoc::EditResult::Refused);
    EXPECT_TRUE(reason.contains(QStringLiteral("between"))) << reason.toStdString();
    EXPECT_EQ(Doc().ApplyPropertyChange(PropertyEdit::Whole(0, "Duration", FXVariable()), &reason),
              SparvDoc::EditResult::Refused);
    EXPECT_EQ(Steps(), steps);
    EXPECT_EQ(GetFloat(0, "Duration"), original);
}

TEST_F(SparvDocEditTest, UndoAndRedoNameWhatTheyDoAndWaitForPlaybackToStop) {
    OpenSpark();
    QAction* undo = Frame()->Action(SparvCommand::EditUndo);
    QAction* redo = Frame()->Action(SparvCommand::EditRedo);
    EXPECT_FALSE(undo->isEnabled());
    SetFloat(0, "Duration", 2.0f);
    EXPECT_EQ(undo->text(), QStringLiteral("&Undo Change Duration"));
    EXPECT_TRUE(undo->isEnabled());

    Click(View().PlayButton());
    EXPECT_FALSE(undo->isEnabled());
    Press(Qt::Key_Backspace, Qt::AltModifier);
    EXPECT_FLOAT_EQ(GetFloat(0, "Duration"), 2.0f);
    Click(View().StopButton());

    Press(Qt::Key_Backspace, Qt::AltModifier);
    EXPECT_FLOAT_EQ(GetFloat(0, "Duration"), 0.8f);
    EXPECT_EQ(redo->text(), QStringLiteral("&Redo Change Duration"));
    Press(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_FLOAT_EQ(GetFloat(0, "Duration"), 2.0f);
    Press(Qt::Key_Backspace, Qt::AltModifier);
    Press(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_FLOAT_EQ(GetFloat(0, "Duration"), 2.0f);
}

TEST_F(SparvDocEditTest, NestedEditsMarkTheNestedTypeAndSaveOnlyItsFile) {
    OpenExplosion();
    const int flash = Doc().FindOrLoadType("flash");
    ASSERT_GT(flash, 0);
    const std::filesystem::path main = Root() / "Data/art/fx/explosion.lua";
    const auto mainTime = std::filesystem::last_write_time(main);

    SetFloat(flash, "Duration", 0.75f);
    EXPECT_TRUE(Doc().IsTypeUnsaved(flash));
    EXPECT_FALSE(Doc().IsTypeUnsaved(0));
    EXPECT_EQ(Doc().UndoStack().undoText(), QStringLiteral("Change Duration (flash)"));
    Doc().UndoStack().undo();
    EXPECT_FALSE(Doc().IsTypeUnsaved(flash));
    Doc().UndoStack().redo();

    Prompts().messages.clear();
    Press(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(Prompts().messages,
              std::vector<QString>{QStringLiteral("flash\n\nSaved Successfully")});
    EXPECT_EQ(std::filesystem::last_write_time(main), mainTime);
    EXPECT_FALSE(Doc().IsModified());
    // Undone after the save: the file holds the change, the type no longer does.
    Doc().UndoStack().undo();
    EXPECT_TRUE(Doc().IsTypeUnsaved(flash));
    EXPECT_TRUE(Doc().IsModified());
}

} // namespace
