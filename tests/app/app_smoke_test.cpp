#include <gtest/gtest.h>
#include <QApplication>
TEST(AppSmoke, ApplicationExists) { EXPECT_NE(QApplication::instance(), nullptr); }
