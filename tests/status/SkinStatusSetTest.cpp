// The indicators over a real element tree: a page root with a text, a group holding two
// block bars, found by id in the tree as the skin lays them out.
#include "comkit/Bstr.h"
#include "comkit/ComPtr.h"
#include "txHost/skin/SkinCreators.h"
#include "txHost/skin/SkinGroup.h"
#include "txHost/skin/SkinRect.h"
#include "txHost/skin/SkinStatusElements.h"
#include "txHost/skin/SkinText.h"

#include <gtest/gtest.h>

namespace
{

template <class T> tx::ComPtr<ISkinElement> Make(T **object, const wchar_t *id)
{
    tx::ComPtr<ISkinElement> element;
    EXPECT_EQ(CreateSkinElementWithObject<T>(element.GetAddressOf(), object), S_OK);
    (*object)->id = id;
    return element;
}

void Add(CSkinGroup *group, ISkinElement *child, CSkinGroup *childGroup = nullptr)
{
    ASSERT_EQ(group->AddGroupChild(child, childGroup), S_OK);
}

TEST(SkinStatusSetTest, IndicatorsFindTheirElementsInThePageTree)
{
    CSkinGroup *root = nullptr;
    CSkinGroup *volume = nullptr;
    CSkinText *pause = nullptr;
    CSkinText *log = nullptr;
    CSkinBlockRect *volumeOn = nullptr;
    CSkinBlockRect *volumeBase = nullptr;
    CSkinGroup *logRoot = nullptr;
    auto rootElement = Make(&root, L"");
    auto volumeElement = Make(&volume, L"volume");
    auto pauseElement = Make(&pause, L"pause");
    auto onElement = Make(&volumeOn, L"volumeOn");
    auto baseElement = Make(&volumeBase, L"volumeBase");
    auto logRootElement = Make(&logRoot, L"");
    auto logElement = Make(&log, L"log");
    volumeBase->size.a = 201;
    Add(root, pauseElement.Get());
    Add(volume, onElement.Get());
    Add(volume, baseElement.Get());
    Add(root, volumeElement.Get(), volume);
    Add(logRoot, logElement.Get());

    {
        tx::skin::SkinStatusSet status;
        status.Bind(root, logRoot, L"HH:mm", L"dd.MM.yyyy");
        BOOL visible = TRUE;
        volumeElement->GetVisible(&visible);
        EXPECT_FALSE(visible); // hidden when bound

        tx::skin::StatusIndicators &indicators = status.Indicators();
        indicators.SetPauseIndicator(L"NEXT", true);
        indicators.SetVolume(50);
        EXPECT_EQ(volumeOn->size.a, 100);
        EXPECT_TRUE(indicators.IsElementShowingText(L"pause"));
        volumeElement->GetVisible(&visible);
        EXPECT_TRUE(visible);

        indicators.ShowLogLine(L"-first\n");
        indicators.ShowLogLine(L"-second\n");
        bool changed = false;
        for (int i = 0; i < 15; ++i)
            status.Tick(&changed, {});
        EXPECT_TRUE(changed);
        EXPECT_FALSE(indicators.IsElementShowingText(L"pause"));

        tx::ComPtr<ISkinText> text;
        ASSERT_EQ(logElement->QueryInterface(IID_PPV_ARGS(text.GetAddressOf())), S_OK);
        tx::Bstr shown;
        ASSERT_EQ(text->GetText(shown.Put()), S_OK);
        EXPECT_STREQ(shown.Get(), L"-first\n-second\n");
        status.Unbind();
    }
    logElement.Reset();
    logRootElement.Reset();
    volumeElement.Reset();
    pauseElement.Reset();
    onElement.Reset();
    baseElement.Reset();
    EXPECT_EQ(rootElement.Get()->Release(), 0u);
    rootElement.Detach();
}

} // namespace
