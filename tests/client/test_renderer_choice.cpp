// The renderer choice: CPU rasterisers recognised by their GL renderer string, the user's driver first.
#include "shell/machine/renderer_choice.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace korvan;

TEST(RendererChoice, CpuRasterisersAreRecognisedRealGpusAreNot) {
    for (const char* cpu : {"llvmpipe (LLVM 15.0.6, 256 bits)", "softpipe", "Mesa X11 swrast", "Software Rasterizer",
                            "LLVMPIPE", "GDI Generic", "D3D12 (Microsoft Basic Render Driver)"}) {
        EXPECT_TRUE(rastersOnCpu(cpu)) << cpu;
    }
    for (const char* gpu : {"", "Mesa Intel(R) UHD Graphics 620 (KBL GT2)", "AMD Radeon RX 6600 (radeonsi, navi23, LLVM 15.0.6, DRM 3.49)",
                            "NVIDIA GeForce GTX 1060 6GB/PCIe/SSE2", "virgl", "llvm"}) {
        EXPECT_FALSE(rastersOnCpu(gpu)) << gpu;
    }
}

TEST(RendererChoice, AnyDriverTheUserNamesWins) {
    EXPECT_TRUE(preferSoftwareRenderer(nullptr, "llvmpipe (LLVM 15.0.6, 256 bits)"));
    EXPECT_TRUE(preferSoftwareRenderer("", "llvmpipe (LLVM 15.0.6, 256 bits)"));
    EXPECT_FALSE(preferSoftwareRenderer("opengl", "llvmpipe (LLVM 15.0.6, 256 bits)"));
    EXPECT_FALSE(preferSoftwareRenderer("opengles2", "llvmpipe"));
    // Not an OpenGL renderer, or a real GPU: nothing to give up.
    EXPECT_FALSE(preferSoftwareRenderer(nullptr, ""));
    EXPECT_FALSE(preferSoftwareRenderer(nullptr, "Mesa Intel(R) UHD Graphics 620 (KBL GT2)"));
}

// A device folder is judged by the graphics nodes in it: kernel graphics drivers, NVIDIA's own, WSL's.
TEST(RendererChoice, AGraphicsDeviceIsOneOfTheKnownNodes) {
    namespace fs = std::filesystem;
    const fs::path devices = fs::path(::testing::TempDir()) / "korvan-devices";
    fs::remove_all(devices);
    fs::create_directories(devices / "dri");
    std::ofstream(devices / "null").put('\n');
    std::ofstream(devices / "dri" / "by-path").put('\n');
    EXPECT_FALSE(graphicsDevicePresent(devices)); // a dri folder without a card
    EXPECT_FALSE(graphicsDevicePresent(devices / "missing"));
    for (const fs::path& node : {fs::path("dri") / "renderD128", fs::path("dri") / "card0", fs::path("nvidiactl"),
                                fs::path("dxg")}) {
        std::ofstream(devices / node).put('\n');
        EXPECT_TRUE(graphicsDevicePresent(devices)) << node;
        fs::remove(devices / node);
    }
    fs::remove_all(devices);
}
