// What a second start decides about the bridge already open, and the named
// objects the two meet in. Wine has neither integrity levels nor UIPI, so
// the decision is a table over plain facts; the descriptor is read back
// from a real object as far as Wine keeps it.
#include <gtest/gtest.h>

#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

#include <string>

#include "app/SecondStartRule.h"
#include "app/SessionRecord.h"
#include "trail/SharedObjects.h"
#include "win/Strings.h"
#include "win/UniqueResource.h"

namespace {

using app::OpenBridgeStep;

std::string UniqueName(const char* what)
{
    return std::string("Local\\DenoptixTest") + what + std::to_string(GetCurrentProcessId());
}

std::string SidText(PSID sid)
{
    char* text = nullptr;
    if (!ConvertSidToStringSidA(sid, &text)) return {};
    const win::UniqueHlocal owned(text);
    return text;
}

TEST(SharedObjects, AreOwnedByTheUserLabelledMediumAndRefuseAnotherOwnersObject)
{
    const std::string user = trail::CurrentUserSid();
    ASSERT_EQ(user.rfind("S-1-5-", 0), 0u) << user;
    EXPECT_EQ(trail::SharedObjectSddl(user),
              "O:" + user + "G:" + user + "D:P(A;;GA;;;" + user + ")(A;;GA;;;SY)S:(ML;;NWNR;;;ME)");

    const std::string name = UniqueName("Mutex");
    const trail::SharedObject made = trail::CreateSharedMutex(name.c_str());
    ASSERT_EQ(made.outcome, trail::SharedOutcome::Created) << made.error;
    const win::UniqueHandle mutex(made.handle);
    PSID owner = nullptr;
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR read = nullptr;
    ASSERT_EQ(GetSecurityInfo(mutex.get(), SE_KERNEL_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                              &owner, nullptr, &dacl, nullptr, &read),
              static_cast<DWORD>(ERROR_SUCCESS));
    const win::UniqueHlocal descriptor(read);
    EXPECT_EQ(SidText(owner), user);
    ASSERT_NE(dacl, nullptr);
    EXPECT_EQ(dacl->AceCount, 2) << "the user and SYSTEM, nobody else";

    PACL sacl = nullptr;
    PSECURITY_DESCRIPTOR labelled = nullptr;
    if (GetSecurityInfo(mutex.get(), SE_KERNEL_OBJECT, LABEL_SECURITY_INFORMATION, nullptr, nullptr, nullptr, &sacl,
                        &labelled) == ERROR_SUCCESS && sacl != nullptr && sacl->AceCount > 0) {
        const win::UniqueHlocal label(labelled);
        void* ace = nullptr;
        ASSERT_TRUE(GetAce(sacl, 0, &ace));
        const auto* mandatory = static_cast<const SYSTEM_MANDATORY_LABEL_ACE*>(ace);
        EXPECT_EQ(mandatory->Header.AceType, SYSTEM_MANDATORY_LABEL_ACE_TYPE);
        EXPECT_EQ(mandatory->Mask, static_cast<DWORD>(SYSTEM_MANDATORY_LABEL_NO_WRITE_UP |
                                                     SYSTEM_MANDATORY_LABEL_NO_READ_UP));
        EXPECT_EQ(SidText(const_cast<DWORD*>(&mandatory->SidStart)), "S-1-16-8192") << "medium";
    } else {
        LocalFree(labelled);
        std::printf("note: this system keeps no mandatory label on the object; only owner and DACL were read\n");
    }

    const trail::SharedObject again = trail::CreateSharedMutex(name.c_str());
    EXPECT_EQ(again.outcome, trail::SharedOutcome::Opened);
    const win::UniqueHandle second(again.handle);

    // A name already taken by an object of another owner is never used.
    const std::string squatted = UniqueName("Squatted");
    PSECURITY_DESCRIPTOR foreign = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA("O:SYD:(A;;GA;;;WD)", SDDL_REVISION_1, &foreign,
                                                                     nullptr));
    const win::UniqueHlocal foreignOwned(foreign);
    SECURITY_ATTRIBUTES attributes{sizeof attributes, foreign, FALSE};
    const win::UniqueHandle squatter(CreateMutexA(&attributes, FALSE, squatted.c_str()));
    if (!squatter) GTEST_SKIP() << "this system lets no object be made for another owner (" << GetLastError() << ")";
    const trail::SharedObject refused = trail::CreateSharedMutex(squatted.c_str());
    EXPECT_EQ(refused.outcome, trail::SharedOutcome::OtherOwner);
    EXPECT_EQ(refused.handle, nullptr);
    EXPECT_EQ(trail::DescribeUnusable("the mutex", "Local\\X", refused), "the mutex Local\\X belongs to another owner");
}

TEST(SessionRecordLayout, OnlyThisReleasesRecordIsReadAndAnythingElseIsAnotherVersion)
{
    using app::RecordKind;
    constexpr std::size_t kRoomy = 1 << 20;
    struct Case {
        app::RecordHeader header;
        std::size_t bytes;
        RecordKind kind;
    } const cases[] = {
        {{0, 0}, kRoomy, RecordKind::Empty},
        {{app::kRecordMagic, app::kRecordVersion}, kRoomy, RecordKind::Ours},
        {{app::kRecordMagic, app::kRecordVersion + 1}, kRoomy, RecordKind::OtherVersion},
        {{4242, 0}, kRoomy, RecordKind::OtherVersion},  // the unversioned layout starts with a process id
        {{app::kRecordMagic, app::kRecordVersion}, 4096, RecordKind::OtherVersion},  // too small for ours
        {{0, 0}, 4096, RecordKind::OtherVersion},
    };
    for (const Case& c : cases)
        EXPECT_EQ(app::KindOfRecord(c.header, c.bytes), c.kind) << c.header.magic << "/" << c.header.version;
}

TEST(SecondStartRule, SameFolderComesForwardAndNothingBusyOrBeyondReachIsAskedToClose)
{
    struct Case {
        app::OpenBridgeFacts facts;  // other version, same folder, beyond reach, busy
        OpenBridgeStep step;
    } const cases[] = {
        {{false, true, false, false}, OpenBridgeStep::BringForward},
        {{false, true, true, false}, OpenBridgeStep::BringForward},  // as administrator: where Windows allows
        {{false, true, false, true}, OpenBridgeStep::BringForward},
        {{false, true, true, true}, OpenBridgeStep::BringForward},
        {{false, false, false, false}, OpenBridgeStep::AskToReplace},
        {{false, false, true, false}, OpenBridgeStep::ExplainAdministrator},
        {{false, false, false, true}, OpenBridgeStep::ExplainBusy},
        {{false, false, true, true}, OpenBridgeStep::ExplainAdministrator},
        {{true, false, false, false}, OpenBridgeStep::ExplainOtherVersion},
        {{true, true, false, false}, OpenBridgeStep::ExplainOtherVersion},
    };
    for (const Case& c : cases) {
        const auto& f = c.facts;
        EXPECT_EQ(app::StepWith(f), c.step)
            << "other version " << f.otherVersion << ", same folder " << f.sameFolder << ", beyond reach "
            << f.beyondReach << ", busy " << f.busy;
    }
}

TEST(SecondStartRule, BoxesSpeakItalianAndNameBothFoldersAsTheBridgeUsesThem)
{
    const std::string open = "\"C:\\Pazienti\\0042\"";
    const std::string next = "C:\\Pazienti\\0043";
    struct Case {
        std::wstring text;
        const wchar_t* says;
        bool namesNew;
    } const cases[] = {
        {app::ReplaceQuestion(open, next), L"Chiudere il Denoptix aperto e avviarlo per la nuova cartella?", true},
        {app::NotClosedInTime(open), L"non si \u00e8 chiuso entro 30 secondi", false},
        {app::RunsAsAdministrator(open, next), L"\u00e8 in esecuzione come amministratore", true},
        {app::WaitsForAnswer(open, next), L"attende una risposta nella propria finestra. Rispondere l\u00ec", true},
    };
    for (const Case& c : cases) {
        EXPECT_NE(c.text.find(c.says), std::wstring::npos) << win::ToNarrow(c.text);
        EXPECT_NE(c.text.find(L"\n\nC:\\Pazienti\\0042\n\n"), std::wstring::npos) << "unquoted, as power-on uses it";
        EXPECT_EQ(c.text.find(L"C:\\Pazienti\\0043") != std::wstring::npos, c.namesNew) << win::ToNarrow(c.text);
    }
    EXPECT_NE(app::WaitsForAnswer("", next).find(L"(nessuna cartella)"), std::wstring::npos);
    EXPECT_EQ(app::OtherVersionOpen().find(L"\u00c8 aperto un Denoptix di un'altra versione"), 0u);
}

}  // namespace
