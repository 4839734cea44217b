// Before npm pack: the built module, its declarations and the page, from
// the WebAssembly build's folder (TAPSMITH_WEB_BUILD, default ../build-web)
// into dist/, which the package holds. `make web` builds them.
import { copyFileSync, existsSync, mkdirSync } from 'node:fs';
import { resolve } from 'node:path';

const web = resolve(import.meta.dirname, '..');
const build = resolve(process.env.TAPSMITH_WEB_BUILD ?? resolve(web, '../build-web'));
mkdirSync(resolve(web, 'dist'), { recursive: true });
for (const name of ['tapsmith.mjs', 'tapsmith.d.ts', 'tapsmith.html']) {
  const built = resolve(build, name);
  if (!existsSync(built)) {
    console.error(`npm pack: ${built} is missing: build it first with 'make web'`);
    process.exit(1);
  }
  copyFileSync(built, resolve(web, 'dist', name));
}
