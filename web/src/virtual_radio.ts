// The virtual radio as a port the user can choose: the engine's own radio
// logic behind a SerialPortLike, so every feature works with no cable.
import type { SerialPortLike } from './port_types';

export interface VirtualFaults { noAnswer: boolean; wrongModel: boolean }

export function createVirtualRadio(_faults: () => VirtualFaults): SerialPortLike {
  throw new Error('the virtual radio is not built yet');
}
