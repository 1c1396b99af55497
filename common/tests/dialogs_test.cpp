#include "common/dialogs.hpp"
#include "common/scripted_dialogs.hpp"

#include <gtest/gtest.h>

using namespace common;

TEST(QtFilterFromPipes, TranslatesPairsAndMatchesWithoutCase) {
    EXPECT_EQ(QtFilterFromPipes("BMP files (*.bmp)|*.bmp"), "BMP files (*.[bB][mM][pP])");
    EXPECT_EQ(QtFilterFromPipes("HPI archive|*.hpi;*.ccx|All|*.*"),
              "HPI archive (*.[hH][pP][iI] *.[cC][cC][xX]);;All (*.*)");
}

TEST(ScriptedDialogs, RecordsEveryCallAndAnswersFromTheQueue) {
    ScopedScriptedDialogs scripted;
    scripted->queueAnswer(MessageAnswer::No);
    scripted->queueText(QStringLiteral("/tmp/x.bmp"));

    Dialogs& dialogs = Dialogs::current();
    EXPECT_EQ(
        dialogs.message(nullptr, "Sure?", "Title", MessageIcon::Question, MessageButtons::YesNo),
        MessageAnswer::No);
    EXPECT_EQ(dialogs.saveFile(nullptr, "", "BMP files (*.bmp)|*.bmp", "bmp", ""),
              std::optional<QString>("/tmp/x.bmp"));
    // An empty queue: the first button, and cancelled dialogs.
    EXPECT_EQ(dialogs.message(nullptr, "Done", "T", MessageIcon::Information,
                              MessageButtons::YesNoCancel),
              MessageAnswer::Yes);
    EXPECT_EQ(dialogs.inputBox(nullptr, "Name", "New", ""), std::nullopt);

    ASSERT_EQ(scripted->calls.size(), 4u);
    EXPECT_EQ(scripted->calls[1].kind, "saveFile");
    EXPECT_EQ(scripted->calls[1].extension, "bmp");
    EXPECT_EQ(scripted->calls[3].text, "Name");
    EXPECT_EQ(scripted->messages(), (std::vector<QString>{"Title|Sure?", "T|Done"}));
}
