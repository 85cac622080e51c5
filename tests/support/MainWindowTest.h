#pragma once

#include "shell/Declare.h"
#include "shell/Main.h"
#include "shell/frmForma.h"
#include "support/FakePlatform.h"
#include "support/TempAppFolder.h"

#include <gtest/gtest.h>

#include <memory>

namespace vexilo::test {

// The main window as start-up makes it, in an application folder of its own, with the
// scripted platform.
class MainWindowTest : public ::testing::Test
{
protected:
    void SetUp() override { form = Main(state, platform, app.path()); }

    TempAppFolder app;
    Declare state;
    FakePlatform platform;
    std::unique_ptr<frmForma> form;
};

} // namespace vexilo::test
