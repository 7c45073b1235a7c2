#include "EditorFixture.h"

TEST_F(EditorFixture, RectangleAnswersBeforeAndAfterOpen) {
    editor->setScale(1);
    ERect* rect = nullptr;
    ASSERT_TRUE(editor->getRect(&rect));
    EXPECT_EQ(rect->right, 875);
    EXPECT_EQ(rect->bottom, 171);
    ASSERT_TRUE(editor->open(nullptr));
    EXPECT_TRUE(editor->getRect(&rect));
    EXPECT_EQ(rect->right, 875);
    editor->close();
    editor->close();
    editor->idle();
    EXPECT_EQ(drell->getAeffect()->flags, effFlagsHasEditor | effFlagsCanReplacing);
}
