#include "widgets/KeyframeClipboard.h"

#include "editor/widgets/KeyframeTestSupport.h"

#include <QMimeData>

namespace {

class KeyframeClipboardTest : public keyframe_test::KeyframeTest {};

TEST_F(KeyframeClipboardTest, KeysTravelAsOurTypeAndAsReadableText) {
    const std::vector<TimeColour> keys{{0.0f, {1.0f, 0.5f, 0.25f, 1.0f}},
                                       {1.0f, {0.1f, 0.2f, 0.3f, 0.0f}}};
    KeyframeClipboard::Copy<Colour>(keys);
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    EXPECT_TRUE(data->hasFormat(KeyframeClipboard::MimeType()));
    EXPECT_EQ(data->text(),
              QStringLiteral("VARTYPE_ARRAY_TIMECOLOUR\n0 1 0.5 0.25 1\n1 0.1 0.2 0.3 0\n"));
    QString message;
    const auto back = KeyframeClipboard::Paste<Colour>(message);
    ASSERT_TRUE(back.has_value()) << message.toStdString();
    EXPECT_EQ(*back, keys); // bit for bit
}

TEST_F(KeyframeClipboardTest, HandWrittenTextPastesToo) {
    QGuiApplication::clipboard()->setText(
        QStringLiteral("VARTYPE_ARRAY_TIMEVECTOR3\r\n0\t1 2 3\r\n\r\n 1  4 5 6 \r\n"));
    QString message;
    const auto keys = KeyframeClipboard::Paste<Vector3>(message);
    ASSERT_TRUE(keys.has_value()) << message.toStdString();
    EXPECT_EQ(*keys,
              (std::vector<TimeVector3>{{0.0f, {1.0f, 2.0f, 3.0f}}, {1.0f, {4.0f, 5.0f, 6.0f}}}));
}

TEST_F(KeyframeClipboardTest, RefusalsSayWhy) {
    const std::pair<const char*, const char*> rows[] = {
        {"", "The clipboard holds no keyframes."},
        {"hello", "The clipboard holds no keyframes."},
        {"VARTYPE_ARRAY_TIMECOLOUR\n0 1 1 1 1\n1 0 0 0 0\n",
         "The clipboard holds colour keys; only number keys can be pasted here."},
        {"VARTYPE_ARRAY_TIMEFLOAT\n0 1\n1 2 3\n",
         "The keyframes on the clipboard are damaged: line 3 does not hold 2 numbers."},
        {"VARTYPE_ARRAY_TIMEFLOAT\n0 1\n1 x\n",
         "The keyframes on the clipboard are damaged: \"x\" on line 3 is not a number."},
        {"VARTYPE_ARRAY_TIMEFLOAT\n0 1\n0.7 2\n0.5 2\n1 3\n",
         "The keyframes on the clipboard must be at least two keys in time order, from time 0 "
         "to time 1."},
        {"VARTYPE_ARRAY_TIMEFLOAT\n0 1\n",
         "The keyframes on the clipboard must be at least two keys in time order, from time 0 "
         "to time 1."},
    };
    for (const auto& [text, why] : rows) {
        QString message;
        EXPECT_FALSE(KeyframeClipboard::FromText<float>(QString::fromLatin1(text), message));
        EXPECT_EQ(message, QString::fromLatin1(why)) << text;
    }
}

} // namespace
