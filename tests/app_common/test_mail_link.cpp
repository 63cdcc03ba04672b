// SPDX-License-Identifier: MIT
// The about window's mail link.
#include <gtest/gtest.h>

#include "mail_link.h"

namespace {

TEST(MailLink, IsAddressAndSubjectUnencoded) {
    EXPECT_EQ(quarvo::MailLink("maker@example.org"), "mailto:maker@example.org?subject=Quarvo: ");
    EXPECT_EQ(quarvo::MailLink("first last+tag@example.org"),
              "mailto:first last+tag@example.org?subject=Quarvo: ");
    EXPECT_EQ(quarvo::MailLink(""), "mailto:?subject=Quarvo: ");
}

}  // namespace
