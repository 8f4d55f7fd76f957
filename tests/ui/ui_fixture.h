#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <memory>

#include "ui/framework/layout_loader.h"
#include "ui/framework/resource_index.h"
#include "ui/framework/timeline.h"
#include "ui/framework/translator.h"
#include "ui/framework/widget_registry.h"
#include "ui/widgets/widget_kinds.h"

namespace keydeck {

// The program's real resources and widget kinds, as start-up sets them up.
class UiFixture : public ::testing::Test {
protected:
    UiFixture() : context_{resources_, timeline_, KEYDECK_SOURCE_DIR} {
        RegisterProgramWidgets(registry_);
    }
    void SetUp() override {
        ASSERT_TRUE(resources_.Load(std::filesystem::path(KEYDECK_SOURCE_DIR) / "uires"));
    }
    void TearDown() override { translators_.reset(); }

    std::unique_ptr<QWidget> LoadLayout(QStringView resource) {
        const LayoutLoader loader(registry_, context_);
        auto root = loader.Load(resource);
        EXPECT_EQ(loader.LastProblemCount(), 0) << resource.toString().toStdString();
        return root;
    }
    TranslatorManager& Translators() {
        if (!translators_) translators_ = std::make_unique<TranslatorManager>();
        return *translators_;
    }

    ResourceIndex resources_;
    Timeline timeline_;
    WidgetRegistry registry_;
    UiContext context_;
    std::unique_ptr<TranslatorManager> translators_;
};

}  // namespace keydeck
