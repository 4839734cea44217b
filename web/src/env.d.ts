/// <reference types="vite/client" />

declare module '@core?raw' {
  const script: string;
  export default script;
}
