#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "LyrWiz_WizUtils.h"

namespace {

std::vector<std::string> Keys(const LyrWiz_Properties& props) {
  std::vector<std::string> out;
  for (const auto& kv : props) out.push_back(kv.first.str() + "=" + kv.second.str());
  return out;
}

TEST(LyrWiz_Module, Add_KeepsCreationOrder) {
  LyrWiz_Module top("top");
  LyrWiz_Module* a = top.AddChildModule("a");
  LyrWiz_Module* b = top.AddChildModule("b");
  LyrWiz_Param* p = top.AddParam("C_X", "1");
  LyrWiz_Pin* pin = top.AddPin("clk", 7, 0, LyrWiz_Module::PINDIR_IN);
  EXPECT_EQ((std::vector<LyrWiz_Module*>{a, b}), top.GetChildModules());
  EXPECT_EQ("b", top.GetChildModules()[1]->name.str());
  EXPECT_TRUE(a->GetChildModules().empty());
  ASSERT_EQ(1u, top.GetParams().size());
  EXPECT_EQ(p, top.GetParams()[0]);
  EXPECT_EQ("1", p->value.str());
  ASSERT_EQ(1u, top.GetPins().size());
  EXPECT_EQ(7, pin->msb);
  EXPECT_EQ(0, pin->lsb);
  EXPECT_EQ(LyrWiz_Module::PINDIR_IN, pin->dir);
  EXPECT_EQ(nullptr, pin->GetInternalSignal());
  EXPECT_EQ(nullptr, pin->GetExternalSignal());
  EXPECT_EQ(3, static_cast<int>(LyrWiz_Module::PINDIR_UNDEF));
}

TEST(LyrWiz_Module, AddSignal_SharesOneSignalPerName) {
  LyrWiz_Module top;
  LyrWiz_Signal* net = top.AddSignal("net", -1, -1);
  EXPECT_EQ(net, top.AddSignal("net", 3, 0));
  EXPECT_EQ(-1, net->msb);  // the first request sets the range
  LyrWiz_Signal* other = top.AddSignal("NET", -1, -1);
  EXPECT_NE(net, other);  // names compare byte for byte
  EXPECT_EQ(net, top.FindSignal("net"));
  EXPECT_EQ(nullptr, top.FindSignal("none"));
  EXPECT_EQ((std::vector<LyrWiz_Signal*>{net, other}), top.GetSignals());
}

TEST(LyrWiz_Module, AddSignal_EmptyNameIsNeverShared) {
  LyrWiz_Module top;
  LyrWiz_Signal* a = top.AddSignal("", -1, -1);
  LyrWiz_Signal* b = top.AddSignal("", -1, -1);
  EXPECT_NE(a, b);
  EXPECT_EQ(2u, top.GetSignals().size());
  EXPECT_EQ(nullptr, top.FindSignal(""));
}

TEST(LyrWiz_Module, Properties_EqualKeysKeepInsertionOrder) {
  LyrWiz_Pin pin;
  pin.properties.emplace("UCF_NET_STRING", "b");
  pin.properties.emplace("DIR", "O");
  pin.properties.emplace("UCF_NET_STRING", "a");
  pin.properties.emplace("UCF_NET_STRING", "c");
  EXPECT_EQ((std::vector<std::string>{"DIR=O", "UCF_NET_STRING=b", "UCF_NET_STRING=a",
                                      "UCF_NET_STRING=c"}),
            Keys(pin.properties));
}

TEST(LyrWiz_Module, Ownership_DeepTreeFreesItself) {
  // The leak check is the sanitizer's or valgrind's; here the shape is checked.
  LyrWiz_Module top;
  LyrWiz_Module* m = &top;
  for (int i = 0; i < 100; ++i) {
    LyrWiz_Pin* pin = m->AddPin("p", -1, -1, LyrWiz_Module::PINDIR_UNDEF);
    pin->SetExternalSignal(top.AddSignal("s", -1, -1));
    m = m->AddChildModule("c");
  }
  EXPECT_EQ(1u, top.GetSignals().size());
  EXPECT_EQ(1u, top.GetChildModules().size());
}

}  // namespace
