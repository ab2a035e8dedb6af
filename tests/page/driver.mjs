// What both browser tests drive: Debian's Chromium through playwright-core,
// and pngjs to read its screenshots, installed from npm with any further
// packages into the driver folder on the first run. Without Chromium the
// test is skipped (exit status 77).
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import { createRequire } from 'node:module';
import path from 'node:path';

export const CHROMIUM = '/usr/bin/chromium';

export function loadDriver(driverFolder, furtherPackages = []) {
  if (!fs.existsSync(CHROMIUM)) {
    console.log(`SKIP: ${CHROMIUM} is missing; scripts/install-deps.sh installs the chromium package`);
    process.exit(77);
  }
  const missing = ['playwright-core@1.65.2', 'pngjs@7.0.0', ...furtherPackages]
    .filter((p) => !fs.existsSync(path.join(driverFolder, 'node_modules', p.slice(0, p.lastIndexOf('@')))));
  if (missing.length)
    execFileSync('npm', ['install', '--prefix', driverFolder, '--no-audit', '--no-fund', ...missing], { stdio: 'inherit' });
  const require = createRequire(path.join(driverFolder, 'package.json'));
  return { chromium: require('playwright-core').chromium, PNG: require('pngjs').PNG };
}
