// The DirectX file interfaces walked the way the frame loader walks them: top-level objects,
// children, references, names, types and data, and the failures callers see.
#include "platform/d3dx/dxfile.h"

#include "fixture_files.h"
#include "platform/test_seams.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

using testing_xfile::FixturePath;

class DirectXFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        seams::CaptureDebugOutput(true);
        ASSERT_EQ(DirectXFileCreate(&m_file), S_OK);
        ASSERT_EQ(m_file->RegisterTemplates(const_cast<unsigned char *>(D3DRM_XTEMPLATES),
                                            D3DRM_XTEMPLATE_BYTES),
                  S_OK);
    }
    void TearDown() override {
        if (m_file)
            m_file->Release();
        seams::CaptureDebugOutput(false);
        seams::ResetAll();
    }

    IDirectXFileEnumObject *Open(const std::string &fixture) {
        IDirectXFileEnumObject *e = nullptr;
        const std::string path = FixturePath(fixture);
        EXPECT_EQ(
            m_file->CreateEnumObject(const_cast<char *>(path.c_str()), DXFILELOAD_FROMFILE, &e),
            S_OK);
        return e;
    }

    static std::string Name(IDirectXFileObject *object) {
        DWORD size = 0;
        EXPECT_EQ(object->GetName(nullptr, &size), S_OK);
        std::string name(size, '\0');
        EXPECT_EQ(object->GetName(name.data(), &size), S_OK);
        name.resize(size ? size - 1 : 0);
        return name;
    }

    IDirectXFile *m_file = nullptr;
};

TEST_F(DirectXFileTest, WalksFramesMatricesMeshesAndTheirOrder) {
    IDirectXFileEnumObject *e = Open("xfile/frames.x");
    ASSERT_NE(e, nullptr);

    IDirectXFileData *root = nullptr;
    ASSERT_EQ(e->GetNextDataObject(&root), S_OK);
    const GUID *type = nullptr;
    ASSERT_EQ(root->GetType(&type), S_OK);
    EXPECT_EQ(*type, TID_D3DRMFrame);
    EXPECT_EQ(Name(root), "Root");

    // First child: the frame's matrix, 16 floats as a whole.
    IDirectXFileObject *child = nullptr;
    ASSERT_EQ(root->GetNextObject(&child), S_OK);
    IDirectXFileData *matrix = nullptr;
    ASSERT_EQ(child->QueryInterface(IID_IDirectXFileData, reinterpret_cast<void **>(&matrix)),
              S_OK);
    ASSERT_EQ(matrix->GetType(&type), S_OK);
    EXPECT_EQ(*type, TID_D3DRMFrameTransformMatrix);
    DWORD size = 0;
    void *data = nullptr;
    ASSERT_EQ(matrix->GetData(nullptr, &size, &data), S_OK);
    ASSERT_EQ(size, 64u);
    EXPECT_EQ(static_cast<float *>(data)[12], 10.0f);
    EXPECT_EQ(matrix->GetData("nothing", &size, &data), DXFILEERR_NOTFOUND);
    EXPECT_EQ(data, nullptr);
    matrix->Release();
    child->Release();

    // Second child: the nested frame holding the mesh.
    ASSERT_EQ(root->GetNextObject(&child), S_OK);
    IDirectXFileData *frame = nullptr;
    ASSERT_EQ(child->QueryInterface(IID_IDirectXFileData, reinterpret_cast<void **>(&frame)), S_OK);
    child->Release();
    EXPECT_EQ(Name(frame), "Child");
    IDirectXFileObject *grandchild = nullptr;
    ASSERT_EQ(frame->GetNextObject(&grandchild), S_OK);
    grandchild->Release();
    ASSERT_EQ(frame->GetNextObject(&grandchild), S_OK);
    IDirectXFileData *mesh = nullptr;
    ASSERT_EQ(grandchild->QueryInterface(IID_IDirectXFileData, reinterpret_cast<void **>(&mesh)),
              S_OK);
    grandchild->Release();
    ASSERT_EQ(mesh->GetType(&type), S_OK);
    EXPECT_EQ(*type, TID_D3DRMMesh);
    ASSERT_EQ(mesh->GetData("nVertices", &size, &data), S_OK);
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(*static_cast<DWORD *>(data), 3u);
    mesh->Release();
    EXPECT_EQ(frame->GetNextObject(&grandchild), DXFILEERR_NOMOREOBJECTS);
    EXPECT_EQ(grandchild, nullptr);
    frame->Release();
    EXPECT_EQ(root->GetNextObject(&child), DXFILEERR_NOMOREOBJECTS);

    // The second top-level object, then the end. Objects outlive the enumerator and the file.
    IDirectXFileData *loose = nullptr;
    ASSERT_EQ(e->GetNextDataObject(&loose), S_OK);
    IDirectXFileData *none = reinterpret_cast<IDirectXFileData *>(1);
    EXPECT_EQ(e->GetNextDataObject(&none), DXFILEERR_NOMOREOBJECTS);
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(e->Release(), 0u);
    EXPECT_EQ(m_file->Release(), 0u);
    m_file = nullptr;
    EXPECT_EQ(Name(loose), "Loose");
    EXPECT_EQ(root->Release(), 0u);
    EXPECT_EQ(loose->Release(), 0u);
}

TEST_F(DirectXFileTest, ReferencesAreNotDataUntilResolved) {
    const std::string text = "xof 0303txt 0032\nFrame Target { }\nFrame Holder { { Target } }\n";
    DXFILELOADMEMORY memory{const_cast<char *>(text.data()), static_cast<DWORD>(text.size())};
    IDirectXFileEnumObject *e = nullptr;
    ASSERT_EQ(m_file->CreateEnumObject(&memory, DXFILELOAD_FROMMEMORY, &e), S_OK);
    IDirectXFileData *holder = nullptr;
    ASSERT_EQ(e->GetDataObjectByName("Holder", &holder), S_OK);
    IDirectXFileObject *child = nullptr;
    ASSERT_EQ(holder->GetNextObject(&child), S_OK);

    // The frame loader's query fails for a reference, which ends its walk of that frame.
    void *asData = reinterpret_cast<void *>(1);
    EXPECT_EQ(child->QueryInterface(IID_IDirectXFileData, &asData), E_NOINTERFACE);
    EXPECT_EQ(asData, nullptr);
    IDirectXFileDataReference *reference = nullptr;
    ASSERT_EQ(
        child->QueryInterface(IID_IDirectXFileDataReference, reinterpret_cast<void **>(&reference)),
        S_OK);
    IDirectXFileData *target = nullptr;
    ASSERT_EQ(reference->Resolve(&target), S_OK);
    EXPECT_EQ(Name(target), "Target");

    // Names: a buffer too small is refused with the size needed.
    char small[3];
    DWORD size = sizeof small;
    EXPECT_EQ(target->GetName(small, &size), DXFILEERR_BADVALUE);
    EXPECT_EQ(size, 7u);
    EXPECT_EQ(target->Release(), 0u);

    EXPECT_EQ(e->GetDataObjectByName("Nobody", &target), DXFILEERR_NOTFOUND);
    EXPECT_EQ(target, nullptr);
    EXPECT_EQ(reference->Release(), 1u);
    EXPECT_EQ(child->Release(), 0u);
    holder->Release();
    e->Release();
}

TEST_F(DirectXFileTest, RegisteredTemplatesServeLaterFiles) {
    const std::string block = "xof 0303txt 0032\ntemplate Pair { <11111111-2222-3333-4444-"
                              "555555555555> FLOAT a; FLOAT b; }\n";
    ASSERT_EQ(m_file->RegisterTemplates(const_cast<char *>(block.data()),
                                        static_cast<DWORD>(block.size())),
              S_OK);
    const std::string text = "xof 0303txt 0032\nPair p { 1.5; 2.5; }\n";
    DXFILELOADMEMORY memory{const_cast<char *>(text.data()), static_cast<DWORD>(text.size())};
    IDirectXFileEnumObject *e = nullptr;
    ASSERT_EQ(m_file->CreateEnumObject(&memory, DXFILELOAD_FROMMEMORY, &e), S_OK);
    IDirectXFileData *pair = nullptr;
    ASSERT_EQ(e->GetNextDataObject(&pair), S_OK);
    DWORD size = 0;
    void *data = nullptr;
    ASSERT_EQ(pair->GetData("b", &size, &data), S_OK);
    EXPECT_EQ(*static_cast<float *>(data), 2.5f);
    pair->Release();
    e->Release();

    // Another file object has not seen that block: to it the object is of an unknown template,
    // and is passed over.
    IDirectXFile *other = nullptr;
    ASSERT_EQ(DirectXFileCreate(&other), S_OK);
    ASSERT_EQ(other->CreateEnumObject(&memory, DXFILELOAD_FROMMEMORY, &e), S_OK);
    pair = reinterpret_cast<IDirectXFileData *>(1);
    EXPECT_EQ(e->GetNextDataObject(&pair), DXFILEERR_NOMOREOBJECTS);
    EXPECT_EQ(pair, nullptr);
    e->Release();
    other->Release();
}

TEST_F(DirectXFileTest, FailuresLeaveNullOutputsAndOneTraceLine) {
    seams::TakeDebugOutput();
    IDirectXFileEnumObject *e = reinterpret_cast<IDirectXFileEnumObject *>(1);
    EXPECT_EQ(
        m_file->CreateEnumObject(const_cast<char *>("no-such-file.x"), DXFILELOAD_FROMFILE, &e),
        DXFILEERR_FILENOTFOUND);
    EXPECT_EQ(e, nullptr);
    std::string trace = seams::TakeDebugOutput();
    EXPECT_NE(trace.find("no-such-file.x"), std::string::npos);
    EXPECT_EQ(std::count(trace.begin(), trace.end(), '\n'), 1);

    const std::string bad = "xof 0303txt 0032\nMesh { 3; 1.0; }\n";
    DXFILELOADMEMORY memory{const_cast<char *>(bad.data()), static_cast<DWORD>(bad.size())};
    EXPECT_EQ(m_file->CreateEnumObject(&memory, DXFILELOAD_FROMMEMORY, &e), DXFILEERR_PARSEERROR);
    trace = seams::TakeDebugOutput();
    EXPECT_EQ(std::count(trace.begin(), trace.end(), '\n'), 1) << trace;

    DXFILELOADRESOURCE resource{nullptr, "MISSING", "XFILE"};
    EXPECT_EQ(m_file->CreateEnumObject(&resource, DXFILELOAD_FROMRESOURCE, &e),
              DXFILEERR_RESOURCENOTFOUND);
    EXPECT_EQ(m_file->CreateEnumObject(&memory, 7, &e), DXFILEERR_BADVALUE);
    EXPECT_EQ(m_file->RegisterTemplates(const_cast<char *>("junk"), 4), DXFILEERR_PARSEERROR);

    seams::InjectFailure("DirectXFileCreate", 1, E_OUTOFMEMORY);
    IDirectXFile *file = reinterpret_cast<IDirectXFile *>(1);
    EXPECT_EQ(DirectXFileCreate(&file), E_OUTOFMEMORY);
    EXPECT_EQ(file, nullptr);
}

} // namespace
