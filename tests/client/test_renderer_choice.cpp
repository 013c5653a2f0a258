// The renderer choice: CPU rasterisers recognised by their GL renderer string, the user's driver first.
#include "shell/renderer_choice.hpp"

#include <gtest/gtest.h>

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
