// Who else a DACL lets at a folder, judged by the system's own ACL calls on descriptors as
// Windows writes them: the drive's root, a folder made under it, the program's own folders.
#include <gtest/gtest.h>

#include "platform/win32/FileTrust.h"

#include <sddl.h>

using namespace kestrave::win32;

namespace {

// The descriptor of an SDDL text, freed at the end of the scope.
struct Descriptor {
    PSECURITY_DESCRIPTOR sd = nullptr;
    explicit Descriptor(const wchar_t* sddl) {
        EXPECT_TRUE(::ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1,
                                                                           &sd, nullptr))
            << ::GetLastError();
    }
    ~Descriptor() { ::LocalFree(sd); }
    PACL dacl() const {
        BOOL present = FALSE;
        BOOL defaulted = FALSE;
        PACL acl = nullptr;
        ::GetSecurityDescriptorDacl(sd, &present, &acl, &defaulted);
        return present ? acl : nullptr;
    }
};

constexpr ACCESS_MASK kAltering = DELETE | WRITE_DAC | WRITE_OWNER | FILE_DELETE_CHILD;

bool othersMayAlter(const wchar_t* sddl, Inherited inherited = Inherited::OnlyByWhatIsMadeInside) {
    return !grantsWithin(Descriptor(sddl).dacl(), ~kAltering, inherited);
}

TEST(FileTrustWine, WhoElseMayDeleteRenameOrRepermissionAFolder) {
    // The root of a system drive: Authenticated Users may make folders in it and modify what
    // is made inside (inherit-only), Users may read: nobody else may alter the root itself.
    const wchar_t* root = L"D:(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;0x1200a9;;;BU)"
                          L"(A;OICIIO;SDGXGWGR;;;AU)(A;;LC;;;AU)";
    EXPECT_FALSE(othersMayAlter(root));
    // A folder an administrator made under it inherits "Authenticated Users: Modify".
    EXPECT_TRUE(
        othersMayAlter(L"D:AI(A;OICIID;FA;;;BA)(A;OICIID;FA;;;SY)(A;OICIID;0x1301bf;;;AU)"));
    // The system's spool\PRINTERS as Windows ships it: Users may only add files.
    EXPECT_FALSE(othersMayAlter(L"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;;0x100002;;;BU)"
                                L"(A;OICIIO;GA;;;CO)"));
    // Each right alone is enough, and a generic grant is read as the file rights it means.
    for (const wchar_t* one : {L"D:(A;;SD;;;WD)", L"D:(A;;WD;;;BU)", L"D:(A;;WO;;;BU)",
                               L"D:(A;;GA;;;BU)", L"D:(A;;0x40;;;BU)"}) {
        EXPECT_TRUE(othersMayAlter(one)) << one;
    }
    EXPECT_FALSE(othersMayAlter(L"D:(A;;GRGX;;;WD)(A;;FW;;;BU)"))
        << "writing files is not altering";
    // Denials never grant; no DACL at all grants everything.
    EXPECT_FALSE(othersMayAlter(L"D:(D;;FA;;;WD)(A;;FA;;;SY)"));
    EXPECT_FALSE(grantsWithin(nullptr, ~kAltering, Inherited::OnlyByWhatIsMadeInside));
    // Counted for the program's own folders, an inherit-only grant is one all the same.
    EXPECT_TRUE(othersMayAlter(L"D:(A;OICIIO;FA;;;BU)", Inherited::ByTheObjectToo));
}

TEST(FileTrustWine, TheProgramsFoldersAdmitOthersToReadAtMost) {
    const ACCESS_MASK reading = FILE_GENERIC_READ | FILE_GENERIC_EXECUTE;
    // The log folder's recipe: Users may read and list.
    EXPECT_TRUE(grantsWithin(
        Descriptor(L"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)").dacl(), reading,
        Inherited::ByTheObjectToo));
    EXPECT_TRUE(grantsWithin(Descriptor(L"D:P(A;OICI;GR;;;BU)").dacl(), reading,
                             Inherited::ByTheObjectToo));
    // Writing, or making a folder, is more than reading.
    for (const wchar_t* more : {L"D:P(A;OICI;0x1200ab;;;BU)", L"D:P(A;OICI;0x1200ad;;;BU)",
                                L"D:P(A;OICI;FA;;;WD)", L"D:P(A;OICI;GW;;;BU)"}) {
        EXPECT_FALSE(grantsWithin(Descriptor(more).dacl(), reading, Inherited::ByTheObjectToo))
            << more;
    }
    // What the program makes its folders with admits nobody else at all.
    AdminOnlySecurity own;
    ASSERT_NE(own.attributes(), nullptr);
    BOOL present = FALSE;
    BOOL defaulted = FALSE;
    PACL dacl = nullptr;
    ::GetSecurityDescriptorDacl(own.attributes()->lpSecurityDescriptor, &present, &dacl,
                                &defaulted);
    EXPECT_TRUE(grantsWithin(dacl, 0, Inherited::ByTheObjectToo));
    // And Administrators own it, whatever the policy for new objects says.
    PSID owner = nullptr;
    ASSERT_TRUE(
        ::GetSecurityDescriptorOwner(own.attributes()->lpSecurityDescriptor, &owner, &defaulted));
    ASSERT_NE(owner, nullptr);
    EXPECT_TRUE(::IsWellKnownSid(owner, WinBuiltinAdministratorsSid));
}

} // namespace
