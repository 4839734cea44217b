// Two builds from one folder, both into the WebAssembly build's folder
// (TAPSMITH_WEB_BUILD, default ../build-web), around its core module:
//   vite build                 tapsmith.html: the page, one file, all inlined
//   vite build --mode module   tapsmith.mjs: run(args) for Node and bundlers
import { copyFileSync } from 'node:fs';
import { resolve } from 'node:path';

import { type Plugin, defineConfig } from 'vite';

const webBuild = resolve(process.env.TAPSMITH_WEB_BUILD ?? resolve(import.meta.dirname, '../build-web'));
const coreScript = resolve(webBuild, 'tapsmith_core.js');

// Puts the page's script and style into its HTML and keeps that file alone,
// so that it opens from disk with nothing beside it. "</script" inside the
// script would end the element early; "<\/script" means the same to JavaScript.
function singleFile(fileName: string): Plugin {
  return {
    name: 'tapsmith-single-file',
    enforce: 'post',
    generateBundle(_options, bundle) {
      const page = Object.values(bundle).find((item) => item.fileName.endsWith('.html'));
      if (page === undefined || page.type !== 'asset') throw new Error('the page has no HTML');
      let html = String(page.source);
      for (const item of Object.values(bundle)) {
        if (item === page) continue;
        const name = item.fileName.replace(/[.*+?^${}()|[\]\\]/g, '\\$&');
        if (item.type === 'chunk') {
          const code = item.code.replace(/<\/script/gi, '<\\/script');
          html = html.replace(new RegExp(`<script([^>]*) src="[^"]*${name}"[^>]*></script>`),
            () => `<script type="module">${code}</script>`);
        } else if (item.fileName.endsWith('.css')) {
          html = html.replace(new RegExp(`<link rel="stylesheet"[^>]*href="[^"]*${name}"[^>]*>`),
            () => `<style>${String(item.source)}</style>`);
        }
        if (html.includes(item.fileName)) throw new Error(`${item.fileName} is still referred to`);
        delete bundle[item.fileName];
      }
      page.fileName = fileName;
      page.source = html;
    },
  };
}

function copyDeclarations(): Plugin {
  return {
    name: 'tapsmith-declarations',
    writeBundle() {
      copyFileSync(resolve(import.meta.dirname, 'tapsmith.d.ts'), resolve(webBuild, 'tapsmith.d.ts'));
    },
  };
}

export default defineConfig(({ mode }) => ({
  base: './',
  resolve: { alias: [{ find: /^@core(?=\?|$)/, replacement: coreScript }] },
  worker: { format: 'iife' },
  build: mode === 'module'
    ? {
        outDir: webBuild,
        emptyOutDir: false,
        target: 'node20',
        minify: false,
        lib: { entry: resolve(import.meta.dirname, 'src/node.ts'), formats: ['es'], fileName: () => 'tapsmith.mjs' },
        rollupOptions: { external: [/^node:/] },
      }
    : {
        outDir: webBuild,
        emptyOutDir: false,
        target: 'es2022',
        assetsInlineLimit: Number.MAX_SAFE_INTEGER,
        cssCodeSplit: false,
        modulePreload: false,
      },
  plugins: mode === 'module' ? [copyDeclarations()] : [singleFile('tapsmith.html')],
  test: {
    projects: [
      { extends: true, test: { name: 'unit', include: ['test/unit/**/*.test.ts'] } },
      { extends: true, test: { name: 'node', include: ['test/node/**/*.test.ts'], testTimeout: 120_000 } },
      {
        extends: true,
        test: {
          name: 'e2e',
          include: ['test/e2e/**/*.test.ts'],
          testTimeout: 120_000,
          hookTimeout: 120_000,
          fileParallelism: false,
        },
      },
    ],
  },
}));
